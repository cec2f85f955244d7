#pragma once
// The line at the top of each section of the presets tab: its title and a badge with the number of rows.

#include <QWidget>

class ElidedLabel;
class CountBadge;

class SectionHeader : public QWidget {
    Q_OBJECT
public:
    explicit SectionHeader(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // Plain digits in every language.
    void setCount(qsizetype count);
    QString title() const;
    QString countText() const;

private:
    ElidedLabel* m_title;
    CountBadge* m_badge;
};
