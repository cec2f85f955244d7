#pragma once
// One row of a list card in the presets tab: a faint accent ground and an accent outline while the
// keyboard selects it, the hover ground under the pointer otherwise, a divider below unless it is last,
// and corners that follow the card's at the ends. A click outside its buttons activates it.

#include <QColor>
#include <QWidget>

#include <initializer_list>

class ListRow : public QWidget {
    Q_OBJECT
public:
    static constexpr double cardRadius = 20;
    static constexpr double selectedGroundOpacity = 0.08;

    explicit ListRow(QWidget* parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    bool isHovered() const { return m_hovered; }
    virtual void setAccent(const QColor& accent);
    const QColor& accent() const { return m_accent; }
    // Where the row sits in its card: the divider and the rounded ends follow.
    void setPlace(bool first, bool last);
    bool showsDivider() const { return !m_last; }
    // The row's label already says what these texts show: a reader reads the row, not them apart.
    void readTextsInLabel(std::initializer_list<QWidget*> texts);

signals:
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_selected = false;
    bool m_hovered = false;
    bool m_first = true;
    bool m_last = true;
    bool m_pressed = false;
    QColor m_accent;
};
