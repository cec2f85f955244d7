#include "ui/onboarding/OnboardingInputExamples.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A typed example on its muted rounded field, the text at the field's leading edge.
class TypedText : public QWidget {
public:
    TypedText(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
        setFont(QvFont::qvText(13, QFont::DemiBold));
        const int height = fontMetrics().height() + 2 * kVertical;
        setFixedSize(OnboardingInputExamples::typedColumnWidth + 2 * kHorizontal, height);
        setAccessibleName(text);
        AccessibleTraits::setRole(this, QAccessible::StaticText); // painted text, read as a label
    }
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        painter.fillPath(QvSurface::continuousRoundedRect(QRectF(rect()), 12),
                         QvColor::qvSurfaceMuted().resolve(scheme));
        painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
        painter.setFont(font());
        painter.drawText(QRectF(rect()).adjusted(kHorizontal, 0, -kHorizontal, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, m_text);
    }

private:
    static constexpr int kHorizontal = 8;
    static constexpr int kVertical = 6;
    QString m_text;
};

// The arrow between an example and its meaning.
class ArrowMark : public QWidget {
public:
    explicit ArrowMark(QWidget* parent) : QWidget(parent) { setFixedSize(11, 11); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        SymbolIcon::paint(painter, QRectF(rect()), QStringLiteral("arrow.right"),
                          QvColor::qvTextTertiary().resolve(ViewEnvironment::colorScheme(this)));
    }
};

} // namespace

QString OnboardingInputExamples::Example::meaning() const {
    if (typed == QLatin1String("25")) {
        return QCoreApplication::translate("OnboardingInputExamples", "25-minute timer");
    }
    if (typed == QLatin1String("1h30m")) {
        return QCoreApplication::translate("OnboardingInputExamples", "1 hour 30 minute timer");
    }
    if (typed == QLatin1String("12:30")) {
        return QCoreApplication::translate("OnboardingInputExamples", "Alarm at 12:30");
    }
    return QCoreApplication::translate("OnboardingInputExamples", "Alarm at 9:00 PM");
}

const QList<OnboardingInputExamples::Example>& OnboardingInputExamples::examples() {
    static const QList<Example> list{{QStringLiteral("25")},
                                     {QStringLiteral("1h30m")},
                                     {QStringLiteral("12:30")},
                                     {QStringLiteral("9pm")}};
    return list;
}

OnboardingInputExamples::OnboardingInputExamples(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quorvane.onboarding.inputExamples"));
    setFixedWidth(maximumWidth);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(rowSpacing);
    rows->addStretch(1);
    for (const Example& example : examples()) {
        auto* row = new QHBoxLayout;
        row->setSpacing(itemSpacing);
        auto* typed = new TypedText(example.typed, this);
        auto* meaning = new TokenLabel(QvColor::qvTextSecondary(), this);
        meaning->setFont(QvFont::qvText(12, QFont::Normal));
        row->addWidget(typed);
        row->addWidget(new ArrowMark(this));
        row->addWidget(meaning);
        row->addStretch(1);
        rows->addLayout(row);
        m_typed << typed;
        m_meanings << meaning;
    }
    rows->addStretch(1);
    retranslate();
}

void OnboardingInputExamples::retranslate() {
    for (qsizetype i = 0; i < m_meanings.size(); ++i) {
        m_meanings[i]->setText(examples()[i].meaning());
    }
}

void OnboardingInputExamples::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
