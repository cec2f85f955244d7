#pragma once
// What covers the presets tab while an editor is open: a dim layer that ignores clicks, and the editor's
// card in its middle. The keyboard stays in the card: Tab cycles it, Escape cancels, and Return does what
// the editor says (save, or nothing) and never reaches the tab behind.

#include <QPointer>
#include <QWidget>

#include <functional>

class EditorOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;
    static constexpr int inset = 24;

    struct Keys {
        std::function<void()> onEscape;
        std::function<void()> onReturn; // empty: Return does nothing
    };

    // Takes the card as its child.
    EditorOverlay(QWidget* card, Keys keys, QWidget* parent);

    QWidget* card() const { return m_card; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeCard();

    QPointer<QWidget> m_card;
    Keys m_keys;
};
