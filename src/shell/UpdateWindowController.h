#pragma once
// Owns the update window's model and, from the first thing it has to show, the one update window: opened
// at the centre of the screen under the pointer (a second check reuses it where it is), above the popover.
// When it closes while the popover is open, the popover gets the keyboard back.

#include "ui/updates/UpdateCheckWindow.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class QWidget;
class ThemeStore;
class UpdateChannel;
class UpdateCheckModel;

class UpdateWindowController : public QObject {
    Q_OBJECT
public:
    // The popover while there is one (or null). The channel and the theme must outlive the controller.
    using PopoverLookup = std::function<QWidget*()>;

    UpdateWindowController(UpdateChannel& channel, const ThemeStore& theme, const QString& currentVersion,
                           PopoverLookup popover, QObject* parent = nullptr);
    ~UpdateWindowController() override;

    UpdateCheckModel& model() const { return *m_model; }
    // None until something was shown.
    UpdateCheckWindow* window() const { return m_window; }

    // Where a window of `size` opens on a screen whose free area is `available`: centred in it.
    static QRect placement(const QSize& size, const QRect& available);

private:
    void present(bool activate);
    void dismissed();

    const ThemeStore& m_theme;
    PopoverLookup m_popover;
    std::unique_ptr<UpdateCheckModel> m_model;
    QPointer<UpdateCheckWindow> m_window;
};
