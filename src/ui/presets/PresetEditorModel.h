#pragma once
// The preset editor's working copy: a name and a length typed as text, read as whole minutes from 1 to
// 480 only when checked or saved. Nothing reaches the engine from here.

#include "ui/presets/PresetEditorTarget.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class PresetEditorModel : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 minMinutes = 1;
    static constexpr qint64 maxMinutes = 480;

    using OnSave = std::function<void(const QString& name, qint64 minutes)>;

    // An edit starts from the preset (its length in whole minutes, rounded down); an add from no name
    // and "25".
    PresetEditorModel(PresetEditorTarget target, OnSave onSave, std::function<void()> onCancel,
                      QObject* parent = nullptr);

    const PresetEditorTarget& target() const { return m_target; }
    bool isNew() const { return m_target.kind() == PresetEditorTarget::Kind::add; }

    const QString& name() const { return m_name; }
    void setName(const QString& name);
    const QString& minutesText() const { return m_minutesText; }
    void setMinutesText(const QString& text);

    // The typed length when it is a whole number from 1 to 480.
    std::optional<qint64> parsedMinutes() const;
    // A name beyond white space, and a length.
    bool canSave() const;

    // Hands the trimmed name and the minutes back when they can be saved; otherwise nothing.
    void save();
    void cancel();

signals:
    void changed();

private:
    PresetEditorTarget m_target;
    OnSave m_onSave;
    std::function<void()> m_onCancel;
    QString m_name;
    QString m_minutesText = QStringLiteral("25");
};
