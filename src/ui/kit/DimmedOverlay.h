#pragma once
// A layer over its parent that dims it and holds one surface in its middle, for the passing screens shown
// inside the popover (a builder, a question). The keyboard stays in the surface: Tab cycles through it,
// and no key or click reaches the screen behind. Escape and a click on the dim are reported, not acted on.

#include <QPointer>
#include <QWidget>

class DimmedOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;

    // Covers `parent` whole and follows its size; shown at once, above its siblings.
    explicit DimmedOverlay(QWidget* parent);

    // Takes the surface as its child and keeps it centred at its preferred size, within `margin` of the
    // edges.
    void setContent(QWidget* content, int margin = 0);
    QWidget* content() const { return m_content; }
    // Gives the surface's first control in Tab order the keyboard.
    void focusContent();

signals:
    void dimClicked();
    void escapePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeContent();
    QList<QWidget*> focusRing() const;

    QPointer<QWidget> m_content;
    int m_margin = 0;
    bool m_pressOnDim = false;
};
