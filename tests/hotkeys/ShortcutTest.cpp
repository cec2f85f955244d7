// Key positions, modifier conversion, descriptions under real keymaps, and the stored form of a shortcut.
#include "HotkeyTestFixture.h"
#include "hotkeys/KeyPositions.h"
#include "hotkeys/XModifierMasks.h"
#include "platform/TranslationCatalog.h"
#include "services/QStringPrinting.h"

#include <QKeyEvent>

using namespace GlobalHotkeys;

namespace {

constexpr qint64 cmd = CarbonModifier::command, shift = CarbonModifier::shift, opt = CarbonModifier::option,
                 ctrl = CarbonModifier::control;

// Every named key, as the stored format numbers it.
const Key kNamedKeys[] = {Key::a,
                          Key::b,
                          Key::c,
                          Key::d,
                          Key::e,
                          Key::f,
                          Key::g,
                          Key::h,
                          Key::i,
                          Key::j,
                          Key::k,
                          Key::l,
                          Key::m,
                          Key::n,
                          Key::o,
                          Key::p,
                          Key::q,
                          Key::r,
                          Key::s,
                          Key::t,
                          Key::u,
                          Key::v,
                          Key::w,
                          Key::x,
                          Key::y,
                          Key::z,
                          Key::zero,
                          Key::one,
                          Key::two,
                          Key::three,
                          Key::four,
                          Key::five,
                          Key::six,
                          Key::seven,
                          Key::eight,
                          Key::nine,
                          Key::capsLock,
                          Key::shift,
                          Key::function,
                          Key::control,
                          Key::option,
                          Key::command,
                          Key::rightCommand,
                          Key::rightOption,
                          Key::rightControl,
                          Key::rightShift,
                          Key::return_,
                          Key::backslash,
                          Key::backtick,
                          Key::comma,
                          Key::equal,
                          Key::minus,
                          Key::period,
                          Key::quote,
                          Key::semicolon,
                          Key::slash,
                          Key::space,
                          Key::tab,
                          Key::leftBracket,
                          Key::rightBracket,
                          Key::pageUp,
                          Key::pageDown,
                          Key::home,
                          Key::end,
                          Key::upArrow,
                          Key::rightArrow,
                          Key::downArrow,
                          Key::leftArrow,
                          Key::escape,
                          Key::delete_,
                          Key::deleteForward,
                          Key::help,
                          Key::mute,
                          Key::volumeUp,
                          Key::volumeDown,
                          Key::f1,
                          Key::f2,
                          Key::f3,
                          Key::f4,
                          Key::f5,
                          Key::f6,
                          Key::f7,
                          Key::f8,
                          Key::f9,
                          Key::f10,
                          Key::f11,
                          Key::f12,
                          Key::f13,
                          Key::f14,
                          Key::f15,
                          Key::f16,
                          Key::f17,
                          Key::f18,
                          Key::f19,
                          Key::f20,
                          Key::keypad0,
                          Key::keypad1,
                          Key::keypad2,
                          Key::keypad3,
                          Key::keypad4,
                          Key::keypad5,
                          Key::keypad6,
                          Key::keypad7,
                          Key::keypad8,
                          Key::keypad9,
                          Key::keypadClear,
                          Key::keypadDecimal,
                          Key::keypadDivide,
                          Key::keypadEnter,
                          Key::keypadEquals,
                          Key::keypadMinus,
                          Key::keypadMultiply,
                          Key::keypadPlus};

class ShortcutTest : public HotkeyTestFixture {};

TEST_F(ShortcutTest, ConstructorsKeepOnlyTheFourModifierBits) {
    const struct {
        const char* name;
        Shortcut shortcut;
        qint64 modifiers;
    } rows[] = {
        {"caps lock dropped", Shortcut(0, 1792), 768},
        {"unknown high bit dropped", Shortcut(0, 65536), 0},
        {"all four kept", Shortcut(0, 0x1f00), 6912},
        {"keypad flag has no bit", Shortcut(Key::a, Qt::MetaModifier | Qt::KeypadModifier), cmd},
        {"qt modifiers mapped", Shortcut(Key::a, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier),
         ctrl | opt | shift},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.shortcut.carbonModifiers, row.modifiers) << row.name;
    }
    EXPECT_EQ(qtModifiers(cmd | opt), Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(qtModifiers(1024), Qt::NoModifier);
}

TEST_F(ShortcutTest, DescriptionFollowsTheKeyboardLayout) {
    const auto us = usLayout();
    const auto german = KeyboardLayout::fromNames(QStringLiteral("de"));
    const auto french = KeyboardLayout::fromNames(QStringLiteral("fr"));
    const auto russian = KeyboardLayout::fromNames(QStringLiteral("ru"));
    const auto russianAndUs = KeyboardLayout::fromNames(QStringLiteral("ru,us"));
    ASSERT_TRUE(us && german && french && russian && russianAndUs);
    const struct {
        const char* name;
        std::shared_ptr<const KeyboardLayout> layout;
        Shortcut shortcut;
        QString description;
    } rows[] = {
        {"shift command A", us, Shortcut(Key::a.rawValue, shift | cmd), QStringLiteral("⇧⌘A")},
        {"glyph order is fixed", us, Shortcut(Key::space.rawValue, cmd | shift | opt | ctrl),
         QStringLiteral("⌃⌥⇧⌘Space")},
        {"function key", us, Shortcut(Key::f5.rawValue, cmd), QStringLiteral("⌘F5")},
        {"punctuation", us, Shortcut(Key::leftBracket.rawValue, opt), QStringLiteral("⌥[")},
        {"German swaps Y and Z", german, Shortcut(Key::y.rawValue, cmd), QStringLiteral("⌘Z")},
        {"German umlaut capitalised", german, Shortcut(Key::semicolon.rawValue, 0), QStringLiteral("Ö")},
        {"French AZERTY", french, Shortcut(Key::a.rawValue, ctrl), QStringLiteral("⌃Q")},
        {"no Latin layout", russian, Shortcut(Key::a.rawValue, cmd), QStringLiteral("⌘\uFFFD")},
        {"fixed texts need no layout", russian, Shortcut(Key::f5.rawValue, 0), QStringLiteral("F5")},
        {"Latin group found second", russianAndUs, Shortcut(Key::q.rawValue, 0), QStringLiteral("Q")},
        {"key that prints nothing", us, Shortcut(Key::capsLock.rawValue, opt), QStringLiteral("⌥")},
        {"position no keyboard has", us, Shortcut(Key::function.rawValue, 0), QStringLiteral("\uFFFD")},
        {"keypad keycap", us, Shortcut(Key::keypad1.rawValue, 0), QStringLiteral("1\u20E3")},
    };
    for (const auto& row : rows) {
        KeyboardLayout::setCurrent(row.layout);
        EXPECT_EQ(row.shortcut.description(), row.description) << row.name;
    }
    KeyboardLayout::setCurrent(nullptr);
    EXPECT_EQ(Shortcut(Key::a.rawValue, cmd).description(), QStringLiteral("⌘\uFFFD")) << "no keymap at all";
}

TEST_F(ShortcutTest, KeyEquivalentIsOneCharacterOrNothing) {
    const struct {
        const char* name;
        Key key;
        QString equivalent;
    } rows[] = {
        {"letter in lower case", Key::a, QStringLiteral("a")},
        {"F5 private-use character", Key::f5, QString(QChar(0xF708))},
        {"F20 private-use character", Key::f20, QString(QChar(0xF717))},
        {"space bar", Key::space, QStringLiteral(" ")},
        {"return arrow", Key::return_, QStringLiteral("\u21A9")},
        {"keypad keycap is one cluster", Key::keypad1, QStringLiteral("1\u20E3")},
        {"help keycap is one cluster", Key::help, QStringLiteral("?\u20DD")},
        {"no text", Key::function, QString()},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Shortcut(row.key, Qt::MetaModifier).keyEquivalent(), row.equivalent) << row.name;
    }
}

TEST_F(ShortcutTest, StoredFormIsCompactWithFixedMemberOrder) {
    EXPECT_EQ(Shortcut(Key::space.rawValue, cmd | opt).encoded(),
              QByteArray(R"({"carbonKeyCode":49,"carbonModifiers":2304})"));
    const Shortcut awkward = Shortcut::decoded(R"({"carbonKeyCode":-5,"carbonModifiers":1792})").value();
    EXPECT_EQ(Shortcut::decoded(awkward.encoded()), awkward) << "round trip keeps an unnormalised value";
}

TEST_F(ShortcutTest, StoredFormReadsLeniently) {
    const struct {
        const char* name;
        const char* json;
        std::optional<std::pair<qint64, qint64>> expected;
    } rows[] = {
        {"canonical", R"({"carbonKeyCode":49,"carbonModifiers":2304})", std::pair{49, 2304}},
        {"other order and spaces", R"({"carbonModifiers":256, "carbonKeyCode":0})", std::pair{0, 256}},
        {"line breaks", "{\n \"carbonKeyCode\" : 3,\n \"carbonModifiers\" : 4096\n}\n", std::pair{3, 4096}},
        {"extra members ignored", R"({"carbonKeyCode":1,"carbonModifiers":0,"x":[1,{"y":2}]})",
         std::pair{1, 0}},
        {"modifiers kept unnormalised", R"({"carbonKeyCode":0,"carbonModifiers":1792})", std::pair{0, 1792}},
        {"integral float", R"({"carbonKeyCode":49.0,"carbonModifiers":256})", std::pair{49, 256}},
        {"missing modifiers", R"({"carbonKeyCode":49})", std::nullopt},
        {"fractional key code", R"({"carbonKeyCode":49.5,"carbonModifiers":256})", std::nullopt},
        {"number as text", R"({"carbonKeyCode":"49","carbonModifiers":256})", std::nullopt},
        {"boolean member", R"({"carbonKeyCode":true,"carbonModifiers":256})", std::nullopt},
        {"not JSON", "carbonKeyCode=49", std::nullopt},
        {"array", "[49,256]", std::nullopt},
        {"trailing garbage", R"({"carbonKeyCode":49,"carbonModifiers":256} x)", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto decoded = Shortcut::decoded(QByteArray(row.json));
        ASSERT_EQ(decoded.has_value(), row.expected.has_value()) << row.name;
        if (decoded) {
            EXPECT_EQ(decoded->carbonKeyCode, row.expected->first) << row.name;
            EXPECT_EQ(decoded->carbonModifiers, row.expected->second) << row.name;
        }
    }
}

TEST_F(ShortcutTest, EveryNamedKeyHasItsOwnPositionOnAPcKeyboard) {
    const auto layout = usLayout();
    QHash<quint32, qint64> seen;
    for (const Key& key : kNamedKeys) {
        if (key == Key::function) {
            EXPECT_FALSE(KeyPositions::xkbKeyName(key.rawValue)) << "the function key has no PC position";
            continue;
        }
        const auto keycode = layout->keycode(key.rawValue);
        ASSERT_TRUE(keycode) << "key code " << key.rawValue << " has no key on the keyboard";
        EXPECT_FALSE(seen.contains(*keycode))
            << "key codes " << key.rawValue << " and " << seen.value(*keycode) << " share a key";
        seen.insert(*keycode, key.rawValue);
        EXPECT_EQ(layout->carbonKeyCode(*keycode), key.rawValue) << "key code " << key.rawValue;
    }
}

TEST_F(ShortcutTest, KeyPositionsMatchWhatAUsKeyboardPrints) {
    // Letters and digits checked against the printed character, so a swapped row in the table shows.
    const struct {
        Key key;
        const char* printed;
    } rows[] = {{Key::a, "a"},         {Key::s, "s"},          {Key::d, "d"},
                {Key::f, "f"},         {Key::h, "h"},          {Key::g, "g"},
                {Key::z, "z"},         {Key::x, "x"},          {Key::c, "c"},
                {Key::v, "v"},         {Key::b, "b"},          {Key::q, "q"},
                {Key::w, "w"},         {Key::e, "e"},          {Key::r, "r"},
                {Key::y, "y"},         {Key::t, "t"},          {Key::one, "1"},
                {Key::two, "2"},       {Key::three, "3"},      {Key::four, "4"},
                {Key::six, "6"},       {Key::five, "5"},       {Key::equal, "="},
                {Key::nine, "9"},      {Key::seven, "7"},      {Key::minus, "-"},
                {Key::eight, "8"},     {Key::zero, "0"},       {Key::rightBracket, "]"},
                {Key::o, "o"},         {Key::u, "u"},          {Key::leftBracket, "["},
                {Key::i, "i"},         {Key::p, "p"},          {Key::l, "l"},
                {Key::j, "j"},         {Key::quote, "'"},      {Key::k, "k"},
                {Key::semicolon, ";"}, {Key::backslash, "\\"}, {Key::comma, ","},
                {Key::slash, "/"},     {Key::n, "n"},          {Key::m, "m"},
                {Key::period, "."},    {Key::backtick, "`"}};
    for (const auto& row : rows) {
        EXPECT_EQ(usLayout()->character(row.key.rawValue), QString::fromUtf8(row.printed))
            << "key code " << row.key.rawValue;
    }
}

TEST_F(ShortcutTest, ModifierMapDecidesTheGrabbedBits) {
    constexpr quint32 altL = 0xffe9, metaL = 0xffe7, superL = 0xffeb, numLock = 0xff7f;
    std::array<QList<quint32>, 8> usual{};
    usual[3] = {altL, metaL};
    usual[4] = {numLock};
    usual[6] = {superL};
    std::array<QList<quint32>, 8> moved{};
    moved[5] = {superL};
    moved[7] = {altL};
    const std::array<QList<quint32>, 8> empty{};
    std::array<QList<quint32>, 8> noSuper = usual;
    noSuper[6] = {};
    const struct {
        const char* name;
        std::array<QList<quint32>, 8> map;
        qint64 modifiers;
        QList<quint16> variants;
    } rows[] = {
        {"super and alt in their usual places", usual, cmd | opt, {0x48, 0x4a, 0x58, 0x5a}},
        {"control and shift are fixed", usual, ctrl | shift, {0x05, 0x07, 0x15, 0x17}},
        {"moved modifiers", moved, cmd | opt, {0xa0, 0xa2}},
        {"no Num Lock key: two variants", moved, 0, {0x00, 0x02}},
        {"empty map falls back to Mod1 and Mod4", empty, cmd | opt, {0x48, 0x4a}},
        {"no key gives Super: no grab with it", noSuper, cmd | opt, {}},
        {"no key gives Super: the others still grab", noSuper, ctrl | opt, {0x0c, 0x0e, 0x1c, 0x1e}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(XModifierMasks::fromModifierMap(row.map).grabVariants(row.modifiers), row.variants)
            << row.name;
    }
}

TEST_F(ShortcutTest, EventStateReadsOnlyTheFourModifiers) {
    const XModifierMasks masks; // Mod1 alt, Mod2 Num Lock, Mod4 super
    const struct {
        const char* name;
        quint16 state;
        qint64 modifiers;
    } rows[] = {
        {"super alt", 0x48, cmd | opt},
        {"with caps lock and num lock", 0x5a, cmd | opt},
        {"layout group bits ignored", 0x2000 | 0x04, ctrl},
        {"mouse button held", 0x0100 | 0x01, shift},
        {"Mod3 and Mod5 mean nothing", 0x20 | 0x80, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(masks.carbonModifiers(row.state), row.modifiers) << row.name;
    }
}

TEST_F(ShortcutTest, KeyEventsBecomeShortcutsThroughTheirScanCode) {
    const quint32 spaceKey = usLayout()->keycode(Key::space.rawValue).value();
    const struct {
        const char* name;
        QEvent::Type type;
        quint32 scanCode;
        Qt::KeyboardModifiers modifiers;
        std::optional<Shortcut> expected;
    } rows[] = {
        {"press", QEvent::KeyPress, spaceKey, Qt::MetaModifier | Qt::AltModifier,
         Shortcut(Key::space.rawValue, cmd | opt)},
        {"release", QEvent::KeyRelease, spaceKey, Qt::ControlModifier, Shortcut(Key::space.rawValue, ctrl)},
        {"keypad flag is no modifier", QEvent::KeyPress, spaceKey, Qt::KeypadModifier,
         Shortcut(Key::space.rawValue, 0)},
        {"shortcut override is no key event", QEvent::ShortcutOverride, spaceKey, Qt::NoModifier,
         std::nullopt},
        {"synthetic event without scan code", QEvent::KeyPress, 0, Qt::NoModifier, std::nullopt},
    };
    for (const auto& row : rows) {
        const QKeyEvent event(row.type, Qt::Key_Space, row.modifiers, row.scanCode, 0, 0);
        EXPECT_EQ(Shortcut::fromKeyEvent(event), row.expected) << row.name;
    }
}

TEST_F(ShortcutTest, CapitalizedMakesEachWordStartUpperCase) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {{"a", "A"}, {"Space", "Space"},         {"F5", "F5"},
                {"ö", "Ö"}, {"two words", "Two Words"}, {"MIXED", "Mixed"},
                {"", ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(capitalized(QString::fromUtf8(row.in)), QString::fromUtf8(row.out)) << row.in;
    }
}

TEST_F(ShortcutTest, FixedKeyTextsReadTheSameInEveryInterfaceLanguage) {
    const struct {
        Key key;
        const char* text;
    } rows[] = {
        // clang-format off
        {Key::return_, "↩"}, {Key::delete_, "⌫"}, {Key::deleteForward, "⌦"}, {Key::end, "↘"},
        {Key::escape, "⎋"}, {Key::help, "?\u20DD"}, {Key::home, "↖"}, {Key::space, "Space"}, {Key::tab, "⇥"},
        {Key::pageUp, "⇞"}, {Key::pageDown, "⇟"}, {Key::upArrow, "↑"}, {Key::rightArrow, "→"},
        {Key::downArrow, "↓"}, {Key::leftArrow, "←"},
        {Key::f1, "F1"}, {Key::f2, "F2"}, {Key::f3, "F3"}, {Key::f4, "F4"}, {Key::f5, "F5"}, {Key::f6, "F6"},
        {Key::f7, "F7"}, {Key::f8, "F8"}, {Key::f9, "F9"}, {Key::f10, "F10"}, {Key::f11, "F11"},
        {Key::f12, "F12"}, {Key::f13, "F13"}, {Key::f14, "F14"}, {Key::f15, "F15"}, {Key::f16, "F16"},
        {Key::f17, "F17"}, {Key::f18, "F18"}, {Key::f19, "F19"}, {Key::f20, "F20"},
        {Key::keypad0, "0\u20E3"}, {Key::keypad1, "1\u20E3"}, {Key::keypad2, "2\u20E3"},
        {Key::keypad3, "3\u20E3"}, {Key::keypad4, "4\u20E3"}, {Key::keypad5, "5\u20E3"},
        {Key::keypad6, "6\u20E3"}, {Key::keypad7, "7\u20E3"}, {Key::keypad8, "8\u20E3"},
        {Key::keypad9, "9\u20E3"}, {Key::keypadDecimal, ".\u20E3"}, {Key::keypadDivide, "/\u20E3"},
        {Key::keypadEquals, "=\u20E3"}, {Key::keypadMinus, "-\u20E3"}, {Key::keypadMultiply, "*\u20E3"},
        {Key::keypadPlus, "+\u20E3"}, {Key::keypadClear, "☒\u20E3"}, {Key::keypadEnter, "↩\u20E3"},
        // clang-format on
    };
    // The Russian keyboard prints no Latin letters: a text that came from the layout would show as "�".
    KeyboardLayout::setCurrent(KeyboardLayout::fromNames(QStringLiteral("ru")));
    for (const char* language : {"en", "ja"}) {
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(language)));
        for (const auto& row : rows) {
            EXPECT_EQ(Shortcut(row.key.rawValue, opt | cmd).description(),
                      QStringLiteral("⌥⌘") + QString::fromUtf8(row.text))
                << language << " key " << row.key.rawValue;
        }
    }
    TranslationCatalog::install(QStringLiteral("en"));
}

} // namespace
