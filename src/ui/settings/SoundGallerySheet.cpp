#include "ui/settings/SoundGallerySheet.h"

#include "core/SoundServiceProtocol.h"
#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/kit/FocusRing.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/OwnDialogMark.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsAccent.h"
#include "ui/settings/SettingsText.h"
#include "ui/settings/SoundCard.h"

#include <QDragEnterEvent>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVariantAnimation>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 3;

QGridLayout* makeGrid() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    for (int c = 0; c < kColumns; ++c) {
        grid->setColumnStretch(c, 1);
    }
    return grid;
}

TokenLabel* makeHeading(const QString& text, QWidget* parent) {
    auto* heading = new TokenLabel(QvColor::qvInkMuted(), parent);
    heading->setFont(QvFont::qvText(12, QFont::Bold));
    heading->setText(text);
    heading->setObjectName(QStringLiteral("quorvane.settings.gallery.heading"));
    return heading;
}

// The rename panel: a dim layer over the gallery with a card holding the name field and two buttons.
// It lives inside the popover, so nothing takes the focus away from it.
class RenamePanel : public QWidget {
public:
    // `onRename` gets the typed name when the user confirms; `onClosed` runs last, however it closed.
    RenamePanel(QWidget* gallery, const QString& name, std::function<void(const QString&)> onRename,
                std::function<void()> onClosed)
        : QWidget(gallery), m_onRename(std::move(onRename)), m_onClosed(std::move(onClosed)) {
        setObjectName(QStringLiteral("quorvane.settings.gallery.rename"));
        setGeometry(gallery->rect());
        auto* outer = new QVBoxLayout(this);
        outer->setAlignment(Qt::AlignCenter);
        m_card = new QWidget(this);
        m_card->setFixedWidth(280);
        auto* column = new QVBoxLayout(m_card);
        column->setContentsMargins(18, 18, 18, 18);
        column->setSpacing(12);
        auto* title = new TokenLabel(QvColor::qvInkPrimary(), m_card);
        title->setFont(QvFont::qvText(14, QFont::Bold));
        title->setText(SoundGallerySheet::tr("Rename Sound"));
        column->addWidget(title);
        m_field = new QLineEdit(m_card);
        m_field->setObjectName(QStringLiteral("quorvane.settings.gallery.renameField"));
        m_field->setPlaceholderText(SoundGallerySheet::tr("Sound name"));
        m_field->setFont(QvFont::qvText(13, QFont::Normal));
        m_field->setText(name);
        m_field->selectAll();
        m_field->setMinimumHeight(32);
        column->addWidget(m_field);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        LabelButton::Look cancelLook(QvColor::qvBgSurface(), QvColor::qvInkPrimary(),
                                     QvFont::qvText(13, QFont::Medium));
        cancelLook.outline = QvColor::qvBorder();
        cancelLook.cornerRadius = 8;
        auto* cancel = new LabelButton(0.96, cancelLook, m_card);
        cancel->setObjectName(QStringLiteral("quorvane.settings.gallery.renameCancel"));
        cancel->setText(SoundGallerySheet::tr("Cancel"));
        cancel->setFocusPolicy(Qt::StrongFocus);
        LabelButton::Look renameLook(QvColor::qvInkAction(), QvColor::qvInkOnAction(),
                                     QvFont::qvText(13, QFont::DemiBold));
        renameLook.cornerRadius = 8;
        auto* rename = new LabelButton(0.96, renameLook, m_card);
        rename->setObjectName(QStringLiteral("quorvane.settings.gallery.renameConfirm"));
        rename->setText(SoundGallerySheet::tr("Rename"));
        rename->setFocusPolicy(Qt::StrongFocus);
        buttons->addWidget(cancel);
        buttons->addWidget(rename);
        column->addLayout(buttons);
        outer->addWidget(m_card);
        connect(cancel, &QAbstractButton::clicked, this, [this] { finish(false); });
        connect(rename, &QAbstractButton::clicked, this, [this] { finish(true); });
        connect(m_field, &QLineEdit::returnPressed, this, [this] { finish(true); });
        show();
        raise();
        m_field->setFocus(Qt::OtherFocusReason);
    }
    QLineEdit* field() const { return m_field; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (KeyPress::isPlainEscape(*event)) {
            finish(false);
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); } // swallow clicks on the dim
    // Tab and Shift+Tab go round the card's controls and never reach the gallery behind.
    bool focusNextPrevChild(bool next) override {
        FocusRing::step(FocusRing::within(m_card), focusWidget(), next);
        return true;
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QColor dim = QvColor::qvInkPrimary().resolve(scheme);
        dim.setAlphaF(0.12f);
        p.fillRect(rect(), dim);
        const QRectF card = QRectF(m_card->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
        const QPainterPath shape = QvSurface::continuousRoundedRect(card, 14);
        p.fillPath(shape, QvColor::qvBgCard().resolve(scheme));
        p.strokePath(shape, QPen(QvColor::qvBorderCard().resolve(scheme), 1));
    }

private:
    void finish(bool rename) {
        if (m_done) {
            return;
        }
        m_done = true;
        hide();
        deleteLater();
        if (rename) {
            m_onRename(m_field->text());
        }
        m_onClosed();
    }

    std::function<void(const QString&)> m_onRename;
    std::function<void()> m_onClosed;
    QWidget* m_card;
    QLineEdit* m_field;
    bool m_done = false;
};

// The accent outline shown while files are dragged over the gallery: drawn over the cards, taking no
// clicks, and fading in and out.
class DropBorder : public QWidget {
public:
    static constexpr int fadeMs = 150;

    explicit DropBorder(QWidget* gallery) : QWidget(gallery) {
        setObjectName(QStringLiteral("quorvane.settings.gallery.dropBorder"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        m_fade.setDuration(fadeMs);
        m_fade.setEasingCurve(QEasingCurve::InOutQuad);
        connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            m_level = value.toDouble();
            update();
        });
    }
    void setTargeted(bool targeted) {
        const double goal = targeted ? 1.0 : 0.0;
        if (m_fade.state() == QAbstractAnimation::Running ? m_fade.endValue().toDouble() == goal
                                                          : m_level == goal) {
            return;
        }
        // A colour change, so it stays under Reduce Motion.
        m_fade.stop();
        m_fade.setStartValue(m_level);
        m_fade.setEndValue(goal);
        m_fade.start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_level <= 0) {
            return;
        }
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor accent = SettingsAccent::of(this);
        accent.setAlphaF(float(accent.alphaF() * m_level));
        p.strokePath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 20),
                     QPen(accent, 2));
    }

private:
    QVariantAnimation m_fade;
    double m_level = 0;
};

} // namespace

SoundGallerySheet::FileChooser SoundGallerySheet::dialogFileChooser() {
    return [](QWidget* owner, std::function<void(const QList<QUrl>&)> chosen) {
        auto* dialog = new QFileDialog(owner, tr("Add Sound"));
        dialog->setObjectName(QStringLiteral("quorvane.settings.gallery.fileDialog"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setFileMode(QFileDialog::ExistingFiles);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        QStringList patterns;
        for (const QString& extension : UserSoundStore::allowedExtensions()) {
            patterns << QStringLiteral("*.") + extension;
        }
        dialog->setNameFilters({tr("Sounds (%1)").arg(patterns.join(u' ')), tr("All files (*)")});
        dialog->setDirectory(QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
        // Read on acceptance: Qt's own dialog reports its choice as file names only, the desktop's as
        // addresses; the selection is there in both.
        QObject::connect(dialog, &QDialog::accepted, owner,
                         [dialog, chosen] { chosen(dialog->selectedUrls()); });
        // The popover stays open while the dialog, ours or the desktop's, is.
        OwnDialogMark::markWhileOpen(owner, dialog);
        dialog->open();
    };
}

SoundGallerySheet::SoundGallerySheet(const char* titleKey, Preferences& preferences,
                                     const PreferenceSetting<QString>& selection, UserSoundStore& userSounds,
                                     SoundServiceProtocol& sound, FileChooser chooseFiles, QWidget* parent)
    : QWidget(parent), m_titleKey(titleKey), m_preferences(preferences), m_selection(selection),
      m_userSounds(userSounds), m_sound(sound),
      m_chooseFiles(chooseFiles ? std::move(chooseFiles) : dialogFileChooser()) {
    setObjectName(QStringLiteral("quorvane.settings.gallery"));
    setAcceptDrops(true);
    setAutoFillBackground(false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 10, 16, 10);
    m_titleLabel = new TokenLabel(QvColor::qvInkPrimary(), this);
    m_titleLabel->setObjectName(QStringLiteral("quorvane.settings.gallery.title"));
    m_titleLabel->setFont(QvFont::qvText(14, QFont::Bold));
    header->addWidget(m_titleLabel);
    header->addStretch(1);
    LabelButton::Look closeLook(QvColor::qvBgPrimary(), QvColor::qvInkMuted(),
                                QvFont::qvText(13, QFont::Normal));
    closeLook.horizontalPadding = 8;
    m_close = new LabelButton(0.96, closeLook, this);
    m_close->setObjectName(QStringLiteral("quorvane.settings.gallery.close"));
    m_close->setFocusPolicy(Qt::StrongFocus);
    connect(m_close, &QAbstractButton::clicked, this, &SoundGallerySheet::closeRequested);
    header->addWidget(m_close);
    column->addLayout(header);

    auto* divider = new QWidget(this);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window,
                            QvColor::qvDivider().resolve(ViewEnvironment::colorScheme(this)));
    divider->setPalette(dividerPalette);
    column->addWidget(divider);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    m_groups = new QVBoxLayout(content);
    m_groups->setContentsMargins(16, 16, 16, 16);
    m_groups->setSpacing(24);
    m_scroll->setWidget(content);
    content->setAutoFillBackground(false); // setWidget turned it on; the owner paints the background
    column->addWidget(m_scroll, 1);

    buildBuiltInGroups();
    rebuildUserGroup();
    m_groups->addStretch(1);
    m_dropBorder = new DropBorder(this);
    m_dropBorder->setGeometry(rect());
    m_dropBorder->raise();
    connect(&m_userSounds, &UserSoundStore::soundsChanged, this, &SoundGallerySheet::rebuildUserGroup);
    SettingBinding::observe(*this, m_preferences, m_selection,
                            [this](const QString& id) { showSelection(id); });
    retranslate();
}

void SoundGallerySheet::buildBuiltInGroups() {
    QWidget* content = m_scroll->widget();
    for (const SoundCatalog::Group& group : SoundCatalog::grouped(m_userSounds)) {
        if (group.category == SoundCategory::custom) {
            continue; // the user's sounds have their own group
        }
        auto* box = new QVBoxLayout;
        box->setSpacing(8);
        box->addWidget(makeHeading(label(group.category), content));
        QGridLayout* grid = makeGrid();
        int index = 0;
        for (const TimerSound& sound : group.sounds) {
            m_builtInCards << addSoundCard(sound, grid, index++);
        }
        box->addLayout(grid);
        m_groups->addLayout(box);
    }
}

SoundCard* SoundGallerySheet::addSoundCard(const TimerSound& sound, QGridLayout* grid, int index) {
    auto* card = new SoundCard(sound, m_scroll->widget());
    grid->addWidget(card, index / kColumns, index % kColumns);
    connect(card, &QAbstractButton::clicked, this, [this, sound] { choose(sound); });
    connect(card, &SoundCard::renameRequested, this, &SoundGallerySheet::startRename);
    connect(card, &SoundCard::deleteRequested, this, [this](const TimerSound& s) { m_userSounds.remove(s); });
    return card;
}

void SoundGallerySheet::rebuildUserGroup() {
    QWidget* content = m_scroll->widget();
    // The window's focus, not hasFocus(): after the file dialog the window may not be active again yet.
    const bool addHadFocus = m_addCard && window()->focusWidget() == m_addCard;
    if (m_userGroup) {
        m_userGroup->hide();
        m_userGroup->deleteLater();
    }
    m_userCards.clear();
    m_userGroup = new QWidget(content);
    m_userGroup->setObjectName(QStringLiteral("quorvane.settings.gallery.mySounds"));
    auto* box = new QVBoxLayout(m_userGroup);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(8);
    box->addWidget(makeHeading(QStringLiteral("My Sounds"), m_userGroup));
    m_userGrid = makeGrid();
    int index = 0;
    for (const TimerSound& sound : m_userSounds.sounds()) {
        auto* card = addSoundCard(sound, m_userGrid, index++);
        card->setParent(m_userGroup);
        m_userCards << card;
    }
    m_addCard = new AddSoundCard(m_userGroup);
    m_userGrid->addWidget(m_addCard, index / kColumns, index % kColumns);
    connect(m_addCard, &QAbstractButton::clicked, this, [this] {
        m_chooseFiles(this, [gallery = QPointer<SoundGallerySheet>(this)](const QList<QUrl>& urls) {
            if (gallery) {
                gallery->importFiles(urls);
            }
        });
    });
    box->addLayout(m_userGrid);
    m_dropHint = new TokenLabel(QvColor::qvInkMuted(), m_userGroup);
    m_dropHint->setFont(QvFont::qvText(12, QFont::Normal));
    m_dropHint->setWordWrap(true);
    m_dropHint->setContentsMargins(0, 2, 0, 0);
    box->addWidget(m_dropHint);
    // The user's group is the last one, before the closing stretch.
    const int at = m_groups->count() > 0 && m_groups->itemAt(m_groups->count() - 1)->spacerItem()
                       ? m_groups->count() - 1
                       : m_groups->count();
    m_groups->insertWidget(at, m_userGroup);
    m_userGroup->show();
    retranslate();
    showSelection(m_selection.read(m_preferences));
    if (addHadFocus) {
        m_addCard->setFocus(Qt::OtherFocusReason);
    }
}

void SoundGallerySheet::showSelection(const QString& id) {
    for (SoundCard* card : cards()) {
        card->setSelected(card->sound().id == id);
    }
}

SoundCard* SoundGallerySheet::card(const QString& soundID) const {
    for (SoundCard* card : cards()) {
        if (card->sound().id == soundID) {
            return card;
        }
    }
    return nullptr;
}

QList<SoundCard*> SoundGallerySheet::cards() const {
    return m_builtInCards + m_userCards;
}

QStringList SoundGallerySheet::groupHeadings() const {
    QStringList headings;
    for (const TokenLabel* label :
         m_scroll->widget()->findChildren<TokenLabel*>(QStringLiteral("quorvane.settings.gallery.heading"))) {
        if (!label->parentWidget()->isHidden() && label->parentWidget() != nullptr &&
            (label->parentWidget() == m_scroll->widget() || label->parentWidget() == m_userGroup)) {
            headings << label->text();
        }
    }
    return headings;
}

QString SoundGallerySheet::title() const {
    return m_titleLabel->text();
}

AlertOverlay* SoundGallerySheet::errorAlert() const {
    return m_errorAlert;
}

QLineEdit* SoundGallerySheet::renameField() const {
    return m_renamePanel ? m_renamePanel->findChild<QLineEdit*>() : nullptr;
}

void SoundGallerySheet::choose(const TimerSound& sound) {
    m_selection.write(m_preferences, sound.id);
    m_sound.preview(sound);
}

void SoundGallerySheet::importFiles(const QList<QUrl>& urls) {
    std::optional<QString> lastError;
    for (const QUrl& url : urls) {
        const UserSoundStore::AddResult result = m_userSounds.add(url);
        if (const auto* sound = std::get_if<TimerSound>(&result)) {
            choose(*sound);
        } else {
            lastError = std::get<UserSoundError>(result).errorDescription();
        }
    }
    if (lastError) {
        showError(*lastError);
    }
}

void SoundGallerySheet::showError(const QString& message) {
    if (m_errorAlert) {
        m_errorAlert->answer(0); // a new failure replaces the message shown
    }
    AlertOverlay::Alert alert;
    alert.message = tr("Couldn't Add Sound");
    alert.detail = message.isEmpty() ? tr("Couldn't add sound.") : message;
    alert.buttons = {
        {tr("OK"), AlertOverlay::Role::primary, QStringLiteral("quorvane.settings.gallery.errorOK")}};
    alert.objectName = QStringLiteral("quorvane.settings.gallery.error");
    // Answered, the alert gives the keyboard back to what led here (the add card, after the file dialog).
    m_errorAlert = AlertOverlay::present(this, alert, [](int) {});
}

void SoundGallerySheet::startRename(const TimerSound& sound) {
    if (m_renamePanel) {
        m_renamePanel->deleteLater();
    }
    m_renamePanel = new RenamePanel(
        this, sound.displayName,
        [this, sound](const QString& name) {
            m_userSounds.rename(sound, name); // a blank name keeps the old one
        },
        [gallery = QPointer<SoundGallerySheet>(this), id = sound.id] {
            // A new name rebuilds the cards: the keyboard goes back to the card now showing the sound.
            if (SoundCard* card = gallery ? gallery->card(id) : nullptr) {
                card->setFocus(Qt::OtherFocusReason);
            }
        });
}

void SoundGallerySheet::retranslate() {
    m_titleLabel->setText(settingsText(m_titleKey));
    m_close->setText(tr("Close"));
    if (m_dropHint) {
        m_dropHint->setText(tr("You can also add sounds by dragging files here"));
    }
}

void SoundGallerySheet::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void SoundGallerySheet::resizeEvent(QResizeEvent* event) {
    if (m_renamePanel) {
        m_renamePanel->setGeometry(rect());
    }
    if (m_dropBorder) {
        m_dropBorder->setGeometry(rect());
    }
    QWidget::resizeEvent(event);
}

void SoundGallerySheet::dragEnterEvent(QDragEnterEvent* event) {
    // Local files only: a drop of anything else (text, remote addresses) is refused.
    bool hasLocalFile = false;
    for (const QUrl& url : event->mimeData()->urls()) {
        hasLocalFile = hasLocalFile || url.isLocalFile();
    }
    if (hasLocalFile) {
        event->acceptProposedAction();
        static_cast<DropBorder*>(m_dropBorder)->setTargeted(true);
    } else {
        event->ignore();
    }
}

void SoundGallerySheet::dragLeaveEvent(QDragLeaveEvent* event) {
    static_cast<DropBorder*>(m_dropBorder)->setTargeted(false);
    QWidget::dragLeaveEvent(event);
}

void SoundGallerySheet::dropEvent(QDropEvent* event) {
    static_cast<DropBorder*>(m_dropBorder)->setTargeted(false);
    QList<QUrl> files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            files << url;
        }
    }
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    importFiles(files);
}

void SoundGallerySheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QvColor::qvBgPrimary().resolve(ViewEnvironment::colorScheme(this)));
}

void SoundGallerySheet::keyPressEvent(QKeyEvent* event) {
    // The rename panel and the error alert take their own Escape first; any other closes the gallery, not
    // the window around it.
    if (KeyPress::isPlainEscape(*event)) {
        event->accept();
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SoundGallerySheet::focusNextPrevChild(bool next) {
    // The keyboard stays in the gallery while it covers the tab.
    FocusRing::step(FocusRing::within(this), focusWidget(), next);
    return true;
}
