#pragma once
// The one-line banner of a running task chain: its name, "step/steps" and a Cancel that ends the chain.
// It shows the coordinator's published values and holds none of its own.

#include <QWidget>

class ChainCoordinator;
class ReferenceTextButton;

class ChainRunningBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int bannerWidth = 366;
    static constexpr int bannerHeight = 32;

    // The coordinator must outlive the banner.
    explicit ChainRunningBanner(ChainCoordinator& coordinator, QWidget* parent = nullptr);

    // One-based: the first step reads 1/n.
    static QString progressText(qsizetype currentStepIndex, qsizetype totalSteps);

    // What is drawn now: the name (cut with an ellipsis when it does not fit) and the progress.
    QString shownName() const;
    QString shownProgress() const;
    ReferenceTextButton* cancelButton() const { return m_cancel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    // The room the name may take, between the dot and the progress text.
    QRectF nameRect() const;
    QRectF progressRect() const;

    ChainCoordinator& m_coordinator;
    ReferenceTextButton* m_cancel;
};
