#pragma once
// Keeps the name a titled window shows in window lists exactly as the window gives it. Once the application
// has a display name, Qt on X11 adds " — <display name>" to every title; the program has one only so that a
// window without a title (the first-run guide) shows the program's name instead of the binary's.

#include <QObject>

class WindowTitleKeeper : public QObject {
    Q_OBJECT
public:
    explicit WindowTitleKeeper(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
