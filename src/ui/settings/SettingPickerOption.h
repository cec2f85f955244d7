#pragma once
// One option of a SettingPicker, drawn in the picker's layout; marked or not as the picker says.

#include "ui/settings/SettingPicker.h"
#include "ui/kit/PressableButton.h"

class SettingPickerOption : public PressableButton {
    Q_OBJECT
public:
    SettingPickerOption(SettingPicker::Layout layout, SettingPicker::Option option,
                        QWidget* parent = nullptr);

    const QString& raw() const { return m_option.raw; }
    QString labelText() const { return m_option.label(); }
    QString detailText() const { return m_option.detail ? m_option.detail() : QString(); }
    bool isChosen() const { return m_chosen; }
    void setChosen(bool chosen);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_layout == SettingPicker::Layout::behaviourRow; }
    int heightForWidth(int width) const override;

protected:
    void paintFace(QPainter& painter) override;
    void nextCheckState() override {} // the stored value decides, never the click itself

private:
    SettingPicker::Layout m_layout;
    SettingPicker::Option m_option;
    bool m_chosen = false;
};
