#pragma once
// What a tab shows while no content has been given for it: its symbol and title, and a line saying so.

#include "ui/popover/TarvolinTimerTab.h"

#include <QWidget>

class TokenLabel;

class EmptyTabPage : public QWidget {
    Q_OBJECT
public:
    explicit EmptyTabPage(TarvolinTimerTab tab, QWidget* parent = nullptr);

    TarvolinTimerTab tab() const { return m_tab; }
    QString message() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    TarvolinTimerTab m_tab;
    TokenLabel* m_message;
};
