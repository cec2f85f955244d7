#include "ui/focus/ChainBuilderView.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/focus/ChainBuilderButton.h"
#include "ui/focus/ChainBuilderModel.h"
#include "ui/focus/ChainField.h"
#include "ui/focus/ChainStepRow.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QWidget* makeDivider(QWidget* parent) {
    auto* divider = new QWidget(parent);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette palette = divider->palette();
    palette.setColor(QPalette::Window, QvColor::qvDivider().resolve(ColorScheme::light));
    divider->setPalette(palette);
    return divider;
}

} // namespace

ChainBuilderView::ChainBuilderView(ChainBuilderModel* model, const QColor& accent, QWidget* parent)
    : QWidget(parent), m_model(model) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("chainBuilder"));
    // Light whatever the rest of the popover does.
    ViewEnvironment::setColorScheme(this, ColorScheme::light);
    setFixedSize(builderWidth, builderHeight);
    const ColorScheme scheme = ColorScheme::light;

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(24, 16, 24, 16);
    auto* title = new TokenLabel(QvColor::qvInkPrimary(), this);
    title->setFont(QvFont::qvText(18, QFont::DemiBold));
    m_title = title;
    header->addWidget(m_title);
    header->addStretch();
    ChainBuilderButton::Look closeLook;
    closeLook.ink = QvColor::qvInkMuted().resolve(scheme);
    closeLook.font = QvFont::qvText(12, QFont::Bold);
    closeLook.symbol = QStringLiteral("xmark");
    closeLook.symbolSide = 12;
    m_close = new ChainBuilderButton(closeLook, this);
    m_close->setFixedSize(44, 44);
    header->addWidget(m_close);
    column->addLayout(header);
    column->addWidget(makeDivider(this));

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget(m_scroll);
    content->setAutoFillBackground(false);
    auto* list = new QVBoxLayout(content);
    list->setContentsMargins(24, 24, 24, 24);
    list->setSpacing(16);
    // The list never shrinks under its rows, so added rows make it scroll rather than squeeze.
    list->setSizeConstraint(QLayout::SetMinimumSize);

    auto* description = new TokenLabel(QvColor::qvInkMuted(), content);
    description->setFont(QvFont::qvText(13, QFont::Normal));
    description->setWordWrap(true);
    m_description = description;
    list->addWidget(m_description);

    auto* nameField = new ChainField(QvFont::qvText(14, QFont::Medium), QMargins(16, 8, 16, 8), content);
    m_chainName = nameField->lineEdit();
    list->addWidget(nameField);

    m_rowsLayout = new QVBoxLayout;
    m_rowsLayout->setSpacing(16);
    list->addLayout(m_rowsLayout);

    ChainBuilderButton::Look addLook;
    addLook.ink = accent;
    addLook.font = QvFont::qvText(13, QFont::Medium);
    addLook.symbol = QStringLiteral("plus");
    addLook.symbolSide = 12;
    m_addStep = new ChainBuilderButton(addLook, content);
    list->addWidget(m_addStep, 0, Qt::AlignLeft);

    auto* error = new TokenLabel(QvColor::qvDestructive(), content);
    error->setFont(QvFont::qvText(13, QFont::Medium));
    error->setWordWrap(true);
    m_error = error;
    list->addWidget(m_error);
    list->addStretch();
    m_scroll->setWidget(content);
    // The scroll area fills the widget it is given; the builder's own ground shows through instead.
    content->setAutoFillBackground(false);
    column->addWidget(m_scroll, 1);

    column->addWidget(makeDivider(this));
    // The button draws its fill 1 px inside its edges, where its focus ring has room: 16 px around a
    // 42 px fill.
    constexpr int startFill = 42;
    constexpr int startInset = 1;
    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(16 - startInset, 16 - startInset, 16 - startInset, 16 - startInset);
    ChainBuilderButton::Look startLook;
    startLook.fill = accent;
    startLook.ink = QvColor::qvOnAccent().resolve(scheme);
    startLook.font = QvFont::qvText(14, QFont::DemiBold);
    startLook.minimumSize = QSize(44, startFill + 2 * startInset);
    m_start = new ChainBuilderButton(startLook, this);
    m_start->setFixedHeight(startFill + 2 * startInset);
    m_start->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    footer->addWidget(m_start);
    column->addLayout(footer);

    for (const auto& step : m_model->steps()) {
        addRow(step.id);
    }

    connect(m_chainName, &QLineEdit::textEdited, m_model, &ChainBuilderModel::setChainName);
    connect(m_close, &QAbstractButton::clicked, m_model, &ChainBuilderModel::close);
    connect(m_addStep, &QAbstractButton::clicked, m_model, &ChainBuilderModel::addStep);
    connect(m_start, &QAbstractButton::clicked, m_model, &ChainBuilderModel::startChain);
    connect(m_model, &ChainBuilderModel::stepAdded, this, &ChainBuilderView::addRow);
    connect(m_model, &ChainBuilderModel::stepRemoved, this, &ChainBuilderView::removeRow);
    connect(m_model, &ChainBuilderModel::stepsChanged, this, &ChainBuilderView::refreshRows);
    connect(m_model, &ChainBuilderModel::stepChanged, this, [this](const QUuid& id) {
        if (ChainStepRow* row = m_rows.value(id)) {
            row->refresh();
        }
    });
    connect(m_model, &ChainBuilderModel::errorMessageChanged, this, &ChainBuilderView::refreshError);
    retranslate();
    refreshRows();
    refreshError();
}

QList<ChainStepRow*> ChainBuilderView::rows() const {
    QList<ChainStepRow*> ordered;
    for (const auto& step : m_model->steps()) {
        if (ChainStepRow* row = m_rows.value(step.id)) {
            ordered << row;
        }
    }
    return ordered;
}

void ChainBuilderView::focusFirstField() {
    m_chainName->setFocus(Qt::OtherFocusReason);
}

void ChainBuilderView::addRow(const QUuid& id) {
    auto* row = new ChainStepRow(*m_model, id, m_scroll->widget());
    m_rows.insert(id, row);
    m_rowsLayout->addWidget(row);
    // A new row is written next: bring it into view once the list has its new height.
    if (m_scroll->isVisible()) {
        QTimer::singleShot(0, row, [this, row] { m_scroll->ensureWidgetVisible(row, 0, 24); });
    }
}

void ChainBuilderView::removeRow(const QUuid& id) {
    ChainStepRow* row = m_rows.take(id);
    if (!row) {
        return;
    }
    const bool hadFocus = row->isAncestorOf(QWidget::focusWidget());
    row->hide();
    row->deleteLater();
    if (hadFocus) {
        m_addStep->setFocus(Qt::OtherFocusReason);
    }
}

void ChainBuilderView::refreshRows() {
    for (ChainStepRow* row : std::as_const(m_rows)) {
        row->refresh();
    }
}

void ChainBuilderView::refreshError() {
    // Shown exactly as stored, in every language.
    const auto& message = m_model->errorMessage();
    m_error->setText(message.value_or(QString()));
    m_error->setVisible(message.has_value());
    if (message && m_scroll->isVisible()) {
        // Below a long list the message would be out of sight: bring it in once the list has its height.
        QTimer::singleShot(0, m_error, [this] { m_scroll->ensureWidgetVisible(m_error, 0, 24); });
    }
}

void ChainBuilderView::retranslate() {
    m_title->setText(tr("Chain"));
    m_close->setAccessibleName(tr("Close"));
    m_close->setToolTip(tr("Close"));
    m_description->setText(tr("Add tasks in order and they'll count down automatically, one after another."));
    m_chainName->setPlaceholderText(tr("Chain name (optional)"));
    m_addStep->setText(tr("Add step"));
    m_addStep->setAccessibleName(m_addStep->text());
    m_start->setText(tr("Start"));
    m_start->setAccessibleName(m_start->text());
    for (ChainStepRow* row : std::as_const(m_rows)) {
        row->retranslate();
    }
}

void ChainBuilderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Inside the reference card's rounded outline.
    painter.fillPath(QvSurface::continuousRoundedRect(QRectF(rect()), 12),
                     QvColor::qvBgPrimary().resolve(ColorScheme::light));
}

void ChainBuilderView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
