#pragma once
// The input page's picture: four typed examples, each with what it makes, in a column at most 320 pixels
// wide whose rows hug its leading edge. Nothing here is interactive.

#include <QList>
#include <QWidget>

class TokenLabel;

class OnboardingInputExamples : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumWidth = 320;
    static constexpr int rowSpacing = 6;
    static constexpr int itemSpacing = 10;
    static constexpr int typedColumnWidth = 68;

    // The typed text as it is typed (never translated) and its meaning in the interface language.
    struct Example {
        QString typed;
        QString meaning() const;
    };
    static const QList<Example>& examples();

    explicit OnboardingInputExamples(QWidget* parent = nullptr);

    // The labels of the typed texts and of the meanings, in row order.
    const QList<QWidget*>& typedLabels() const { return m_typed; }
    const QList<TokenLabel*>& meaningLabels() const { return m_meanings; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QList<QWidget*> m_typed;
    QList<TokenLabel*> m_meanings;
};
