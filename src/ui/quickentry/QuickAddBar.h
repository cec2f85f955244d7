#pragma once
// The inline entry bar of the timers tab: a field for a time ("25m", "1d18h", "12:30") with an arrow to
// review it, symbol keys that type ":", "d", "h" and "m", a name field with "+ Save as Preset" while the
// text reads as a duration, and one line for errors and confirmations.

#include "ui/quickentry/QuickAddBarModel.h"

#include <QWidget>

#include <functional>

class LabelButton;
class QLineEdit;
class QuickAddFieldGround;
class QuickAddRoundButton;
class QuickAddSymbolKey;
class TokenLabel;

class QuickAddBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int barWidth = 404;
    static constexpr int barHeight = 108;
    static constexpr int padding = 8;
    static constexpr int rowSpacing = 6;
    static constexpr int entryHeight = 36;
    static constexpr int symbolRowHeight = 32;
    static constexpr int symbolKeySide = 28;
    static constexpr int presetFieldWidth = 88;
    static constexpr int presetControlHeight = 28;
    static constexpr int messageHeight = 12;
    static constexpr double messageMinimumScale = 0.8;
    static constexpr int messageFontSize = 11;

    // Called when one of the bar's fields gives the keyboard up, with the widget that takes it (none when
    // nothing does); not when the window or a popup takes it for a while.
    using FocusLost = std::function<void(QWidget* newFocus)>;

    // Takes the model as its child.
    explicit QuickAddBar(QuickAddBarModel* model, bool showSymbolRow = true, FocusLost onFocusLost = {},
                         QWidget* parent = nullptr);

    QuickAddBarModel& model() const { return *m_model; }
    bool showsSymbolRow() const { return m_showSymbolRow; }
    void setShowSymbolRow(bool show);
    QLineEdit* inputField() const { return m_input; }
    QLineEdit* presetNameField() const { return m_presetName; }
    // The message line as shown, and the entry field's outline colour and width now.
    TokenLabel* messageLabel() const { return m_message; }
    QColor inputStrokeColor() const;
    double inputStrokeWidth() const;
    // A field the keyboard can type into: keeping it focused is never taken away by the bar.
    static bool isTextField(const QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void relayout();
    void refreshMessage();
    void refreshStroke();
    void refreshSaveControls();

    QuickAddBarModel* m_model;
    bool m_showSymbolRow;
    FocusLost m_onFocusLost;
    QuickAddFieldGround* m_inputGround;
    QLineEdit* m_input;
    QuickAddRoundButton* m_submit;
    QList<QuickAddSymbolKey*> m_symbolKeys;
    QuickAddFieldGround* m_presetGround;
    QLineEdit* m_presetName;
    LabelButton* m_savePreset;
    TokenLabel* m_message;
};
