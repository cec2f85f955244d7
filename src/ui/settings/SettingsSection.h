#pragma once
// A titled block of the settings tab: a heading (title, optional subtitle) above a rounded card that holds
// the section's controls. Gaps and padding follow the display density.

#include <QWidget>

class QVBoxLayout;
class TokenLabel;

class SettingsSection : public QWidget {
    Q_OBJECT
public:
    // Keys as for NumberFieldRow.
    explicit SettingsSection(const char* title, const char* subtitle = nullptr, QWidget* parent = nullptr);

    // Where the section's controls go.
    QVBoxLayout* content() const { return m_content; }
    QWidget* card() const { return m_card; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void applyDensity();

    const char* m_title;
    const char* m_subtitle;
    TokenLabel* m_titleLabel;
    TokenLabel* m_subtitleLabel = nullptr;
    QVBoxLayout* m_outer;
    QWidget* m_card;
    QVBoxLayout* m_content;
};
