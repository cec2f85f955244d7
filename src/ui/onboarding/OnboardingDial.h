#pragma once
// A still minute dial (no lit ticks, no progress) with a line or two of text in its middle: the pictures of
// the language, quick-start and done pages. Screen readers skip the dial unless its text is to be read.

#include "ui/kit/MinuteDialView.h"

#include <QFont>
#include <QString>

class OnboardingDial : public MinuteDialView {
    Q_OBJECT
public:
    // The main line's font, in the primary text colour with digits of one width; the caption's, under it in
    // the secondary colour.
    OnboardingDial(int size, QFont textFont, QFont captionFont = QFont(), QWidget* parent = nullptr);

    void setText(const QString& text);
    // The main line is read as the dial's text; otherwise the whole dial is hidden from screen readers.
    void readTextAloud();
    void setCaption(const QString& caption);
    QString text() const { return m_text; }
    QString caption() const { return m_caption; }

    static constexpr int captionSpacing = 4;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont m_textFont;
    QFont m_captionFont;
    QString m_text;
    QString m_caption;
};
