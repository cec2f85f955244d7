#pragma once
// The accent colour choices: a round swatch per preset accent, and one more that opens a colour picker
// for any colour in a panel under it. They only draw the choice and report taps and picked colours.

#include "theme/AccentTheme.h"
#include "ui/kit/PressableButton.h"

#include <QColor>
#include <QPointer>

class AccentColorPopup;

class AccentChip : public PressableButton {
    Q_OBJECT
public:
    static constexpr int swatchSide = 32;
    static constexpr int ringSide = 40;
    static constexpr int labelWidth = 56;

    explicit AccentChip(AccentTheme theme, QWidget* parent = nullptr);

    AccentTheme theme() const { return m_theme; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintFace(QPainter& painter) override;

private:
    AccentTheme m_theme;
    bool m_selected = false;
};

class CustomAccentChip : public PressableButton {
    Q_OBJECT
public:
    // `currentColor` is what the inner circle shows while selected, and where the picker starts.
    explicit CustomAccentChip(QWidget* parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    void setCurrentColor(const QColor& color) {
        m_currentColor = color;
        update();
    }
    // The picker while it is open.
    AccentColorPopup* picker() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // Every colour the user picks while the picker is open; opening it picks nothing.
    void picked(const QColor& color);

protected:
    void paintFace(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void openPicker();

    bool m_selected = false;
    QColor m_currentColor;
    // Where the picker opens: the accent in use when the chip came on screen, or the colour picked last.
    QColor m_pickerColor;
    QPointer<AccentColorPopup> m_picker;
};
