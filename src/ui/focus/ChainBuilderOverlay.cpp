#include "ui/focus/ChainBuilderOverlay.h"

#include "theme/QvColor.h"
#include "theme/ThemeStore.h"
#include "ui/focus/ChainBuilderModel.h"
#include "ui/focus/ChainBuilderView.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

ChainBuilderOverlay::ChainBuilderOverlay(TarvolinTimerMainView& root, QWidget* canvas)
    : QWidget(canvas), m_root(root), m_keeper(this, [this] { return FocusRing::within(m_builder, true); }) {
    setObjectName(QStringLiteral("quorvane.chainBuilder.overlay"));
    m_keeper.setReturnTo(&root);
    setGeometry(canvas->rect());
    canvas->installEventFilter(this);
    hide();
    connect(&m_root.model(), &MainViewModel::showChainBuilderChanged, this, &ChainBuilderOverlay::sync);
    // A canvas built while the builder is open (the tab was chosen again) shows a fresh one at once.
    sync(m_root.model().showChainBuilder());
}

ChainBuilderView* ChainBuilderOverlay::builder() const {
    return m_builder;
}

void ChainBuilderOverlay::sync(bool open) {
    if (!open) {
        if (SurfaceWidget* card = m_card) {
            // The builder's own button may be what closed it: delete it once that is over. Forget it now,
            // so an opening before then builds a fresh one.
            m_card = nullptr;
            m_builder = nullptr;
            card->hide();
            card->deleteLater();
        }
        hide();
        return;
    }
    if (m_card) {
        return;
    }
    auto* model = new ChainBuilderModel(m_root.chainCoordinator());
    auto* builder = new ChainBuilderView(model, m_root.theme().activeAccentColor());
    connect(model, &ChainBuilderModel::closeRequested, this, &ChainBuilderOverlay::closeBuilder);
    auto* card = new SurfaceWidget(SurfaceWidget::Kind::referenceCard, this);
    card->setCornerRadius(12);
    auto* layout = new QVBoxLayout(card);
    // The surface keeps its own room for the shadows around what it holds.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(builder);
    const QSize size = card->sizeHint();
    card->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
    m_card = card;
    m_builder = builder;
    setGeometry(parentWidget()->rect());
    raise();
    show();
    card->show();
    builder->focusFirstField();
}

void ChainBuilderOverlay::closeBuilder() {
    // Hiding the layer gives the keyboard back to the root.
    m_root.model().setShowChainBuilder(false);
}

void ChainBuilderOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

void ChainBuilderOverlay::mousePressEvent(QMouseEvent* event) {
    // The dim has no action, but nothing behind it is reached either.
    event->accept();
}

void ChainBuilderOverlay::keyPressEvent(QKeyEvent* event) {
    // Keys the builder leaves alone stop here instead of reaching the tab behind; Escape closes the builder
    // as its Close button does, before it could close anything further out.
    event->accept();
    if (KeyPress::isPlainEscape(*event)) {
        closeBuilder();
    }
}

bool ChainBuilderOverlay::focusNextPrevChild(bool next) {
    if (!m_builder) {
        return QWidget::focusNextPrevChild(next);
    }
    // Tab walks the builder's controls as a ring and never leaves it for the tab behind.
    FocusRing::step(FocusRing::within(m_builder, true), QWidget::focusWidget(), next);
    return true;
}

bool ChainBuilderOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        if (m_card) {
            const QSize size = m_card->size();
            m_card->move((width() - size.width()) / 2, (height() - size.height()) / 2);
        }
    }
    return QWidget::eventFilter(watched, event);
}
