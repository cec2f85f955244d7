#include "support/PixelProbe.h"
#include "theme/QvColor.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QVBoxLayout>

#include <functional>

#include <gtest/gtest.h>

namespace {

constexpr auto L = ColorScheme::light;
constexpr auto D = ColorScheme::dark;
const QColor kGrey(128, 128, 128); // both inks stand out on it

// A shown window on grey holding `label`.
class Window : public QWidget {
public:
    Window() {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, kGrey);
        setPalette(p);
        new QVBoxLayout(this);
        resize(200, 60);
    }
    QColor inkOf(QWidget* child) {
        return PixelProbe::inkIn(grab().toImage(), QRect(child->mapTo(this, QPoint()), child->size()), kGrey);
    }
};

} // namespace

TEST(TokenLabelTest, SectionLabelShowsUpperCaseButKeepsTheText) {
    QWidget parent;
    TokenLabel* label = TokenLabel::makeSectionLabel(&parent);
    label->setText(QStringLiteral("general"));
    EXPECT_EQ(label->text(), QStringLiteral("general"));
    EXPECT_EQ(label->font().capitalization(), QFont::AllUppercase);
    EXPECT_EQ(label->font().pixelSize(), 10);
    EXPECT_EQ(label->font().weight(), QFont::DemiBold);
    EXPECT_NEAR(label->font().letterSpacing(), 0.3, 1.0 / 64); // Qt keeps it in 1/64 px
    EXPECT_EQ(label->resolvedColor(), QvColor::qvInkMuted().resolve(L));
}

TEST(TokenLabelTest, TextFollowsTheSchemeOfItsPlaceInTheTreeWhileShown) {
    const QvColor& token = QvColor::qvInkSecondary();
    Window window, elsewhere;
    auto* label = new TokenLabel(token, &window);
    label->setText(QStringLiteral("Layout"));
    QFont big = label->font();
    big.setPixelSize(20);
    big.setWeight(QFont::Bold);
    label->setFont(big);
    window.layout()->addWidget(label);
    window.show();
    elsewhere.show();

    const struct {
        const char* name;
        std::function<void()> change;
        Window* shownIn;
        ColorScheme expected;
    } rows[] = {
        {"built in a light tree", [] {}, &window, L},
        {"the window turns dark while shown", [&] { ViewEnvironment::setColorScheme(&window, D); }, &window,
         D},
        {"the window turns light again", [&] { ViewEnvironment::setColorScheme(&window, L); }, &window, L},
        {"moved into a dark tree",
         [&] {
             ViewEnvironment::setColorScheme(&elsewhere, D);
             elsewhere.layout()->addWidget(label);
             label->show();
         },
         &elsewhere, D},
        {"the desktop palette changes: the token still decides",
         [&] {
             QPalette p = elsewhere.palette();
             p.setColor(QPalette::WindowText, Qt::red);
             elsewhere.setPalette(p);
         },
         &elsewhere, D},
    };
    for (const auto& row : rows) {
        row.change();
        const QColor ink = row.shownIn->inkOf(label);
        const QColor want = token.resolve(row.expected);
        const QColor other = token.resolve(row.expected == L ? D : L);
        EXPECT_LE(PixelProbe::distance(ink, want), 24) << row.name << " " << ink.name().toStdString();
        EXPECT_GT(PixelProbe::distance(ink, other), 100) << row.name;
    }
}
