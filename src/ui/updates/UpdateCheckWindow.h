#pragma once
// The update window: a small light window above other windows (the popover included) saying what the
// update model says, with the program's icon, a heading, a message and its buttons in the accent's filled
// and outlined looks. The main button (the download when there is one, else Close) holds the keyboard;
// Return presses the focused button and Escape closes. Its texts follow the in-app language.

#include <QWidget>

class LabelButton;
class QLabel;
class ThemeStore;
class UpdateCheckModel;

class UpdateCheckWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int windowWidth = 400;

    // The model and the theme must outlive the window.
    UpdateCheckWindow(UpdateCheckModel& model, const ThemeStore& theme, QWidget* parent = nullptr);

    // Shows the window in front; with `activate` it also takes the keyboard.
    void present(bool activate);

    // The button that holds the keyboard when the window opens.
    LabelButton* mainButton() const;

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void followTheme();

    UpdateCheckModel& m_model;
    const ThemeStore& m_theme;
    QLabel* m_icon;
    QLabel* m_heading;
    QLabel* m_message;
    LabelButton* m_download;
    LabelButton* m_close;
};
