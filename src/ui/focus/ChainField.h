#pragma once
// A plain text field on the builder's rounded, outlined ground.

#include <QFont>
#include <QMargins>
#include <QWidget>

class QLineEdit;

class ChainField : public QWidget {
    Q_OBJECT
public:
    ChainField(const QFont& font, const QMargins& padding, QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return m_edit; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_edit;
};
