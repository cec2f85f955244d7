#include "hotkeys/Shortcut.h"

#include "hotkeys/KeyboardLayout.h"
#include "platform/JsonCodec.h"

#include <QHash>
#include <QKeyEvent>
#include <QTextBoundaryFinder>

namespace GlobalHotkeys {

namespace {

QString keycap(const char16_t* base) {
    return QString::fromUtf16(base) + QChar(0x20E3);
}

// Texts for keys whose printed character says nothing (or that print none); the layout is not asked.
// They are the same in every interface language, like the modifier glyphs they follow.
const QHash<qint64, QString>& fixedKeyTexts() {
    static const QHash<qint64, QString> texts = [] {
        QHash<qint64, QString> t;
        t.insert(Key::return_.rawValue, QStringLiteral("\u21A9"));
        t.insert(Key::delete_.rawValue, QStringLiteral("\u232B"));
        t.insert(Key::deleteForward.rawValue, QStringLiteral("\u2326"));
        t.insert(Key::end.rawValue, QStringLiteral("\u2198"));
        t.insert(Key::escape.rawValue, QStringLiteral("\u238B"));
        t.insert(Key::help.rawValue, QStringLiteral("?\u20DD"));
        t.insert(Key::home.rawValue, QStringLiteral("\u2196"));
        t.insert(Key::space.rawValue, QStringLiteral("Space"));
        t.insert(Key::tab.rawValue, QStringLiteral("\u21E5"));
        t.insert(Key::pageUp.rawValue, QStringLiteral("\u21DE"));
        t.insert(Key::pageDown.rawValue, QStringLiteral("\u21DF"));
        t.insert(Key::upArrow.rawValue, QStringLiteral("\u2191"));
        t.insert(Key::rightArrow.rawValue, QStringLiteral("\u2192"));
        t.insert(Key::downArrow.rawValue, QStringLiteral("\u2193"));
        t.insert(Key::leftArrow.rawValue, QStringLiteral("\u2190"));
        const Key functionKeys[] = {Key::f1,  Key::f2,  Key::f3,  Key::f4,  Key::f5,  Key::f6,  Key::f7,
                                    Key::f8,  Key::f9,  Key::f10, Key::f11, Key::f12, Key::f13, Key::f14,
                                    Key::f15, Key::f16, Key::f17, Key::f18, Key::f19, Key::f20};
        for (int index = 0; index < 20; ++index) {
            t.insert(functionKeys[index].rawValue, QStringLiteral("F%1").arg(index + 1));
        }
        const Key digits[] = {Key::keypad0, Key::keypad1, Key::keypad2, Key::keypad3, Key::keypad4,
                              Key::keypad5, Key::keypad6, Key::keypad7, Key::keypad8, Key::keypad9};
        for (int index = 0; index < 10; ++index) {
            t.insert(digits[index].rawValue, QString::number(index) + QChar(0x20E3));
        }
        t.insert(Key::keypadDecimal.rawValue, keycap(u"."));
        t.insert(Key::keypadDivide.rawValue, keycap(u"/"));
        t.insert(Key::keypadEquals.rawValue, keycap(u"="));
        t.insert(Key::keypadMinus.rawValue, keycap(u"-"));
        t.insert(Key::keypadMultiply.rawValue, keycap(u"*"));
        t.insert(Key::keypadPlus.rawValue, keycap(u"+"));
        t.insert(Key::keypadClear.rawValue, keycap(u"\u2612"));
        t.insert(Key::keypadEnter.rawValue, keycap(u"\u21A9"));
        return t;
    }();
    return texts;
}

// Menus take these keys as single characters: a space, and the private-use characters of F1–F20.
std::optional<QString> keyEquivalentCharacter(qint64 carbonKeyCode) {
    if (carbonKeyCode == Key::space.rawValue) {
        return QStringLiteral(" ");
    }
    const Key functionKeys[] = {Key::f1,  Key::f2,  Key::f3,  Key::f4,  Key::f5,  Key::f6,  Key::f7,
                                Key::f8,  Key::f9,  Key::f10, Key::f11, Key::f12, Key::f13, Key::f14,
                                Key::f15, Key::f16, Key::f17, Key::f18, Key::f19, Key::f20};
    for (int index = 0; index < 20; ++index) {
        if (functionKeys[index].rawValue == carbonKeyCode) {
            return QString(QChar(char16_t(0xF704 + index)));
        }
    }
    return std::nullopt;
}

qsizetype graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

std::optional<qint64> integerMember(const FlatRecord& record, std::string_view key) {
    const FlatRecord::Value* value = record.find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->type == FlatRecord::Value::Type::integer) {
        return value->integer;
    }
    // 49.0 is the integer 49; 49.5 is no key code.
    if (value->type == FlatRecord::Value::Type::floating) {
        return JsonCodec::integerFromDouble(value->floating);
    }
    return std::nullopt;
}

} // namespace

std::optional<Shortcut> Shortcut::fromKeyEvent(const QKeyEvent& event) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) {
        return std::nullopt;
    }
    const auto layout = KeyboardLayout::current();
    if (!layout) {
        return std::nullopt;
    }
    const auto code = layout->carbonKeyCode(event.nativeScanCode());
    if (!code) {
        return std::nullopt;
    }
    return Shortcut(*code, GlobalHotkeys::carbonModifiers(event.modifiers()));
}

std::optional<QString> Shortcut::keyToCharacter() const {
    const auto fixed = fixedKeyTexts().constFind(carbonKeyCode);
    if (fixed != fixedKeyTexts().constEnd()) {
        return *fixed;
    }
    const auto layout = KeyboardLayout::current();
    if (!layout) {
        return std::nullopt;
    }
    return layout->character(carbonKeyCode);
}

QString Shortcut::description() const {
    const auto text = keyToCharacter();
    return modifierDescription(carbonModifiers) + (text ? capitalized(*text) : QStringLiteral("\uFFFD"));
}

QString Shortcut::keyEquivalent() const {
    const QString text = keyToCharacter().value_or(QString());
    if (graphemeCount(text) < 2) {
        return text;
    }
    return keyEquivalentCharacter(carbonKeyCode).value_or(QString());
}

QByteArray Shortcut::encoded() const {
    JsonWriter writer;
    writer.beginObject();
    writer.key(std::string_view("carbonKeyCode"));
    writer.value(carbonKeyCode);
    writer.key(std::string_view("carbonModifiers"));
    writer.value(carbonModifiers);
    writer.endObject();
    return writer.take();
}

std::optional<Shortcut> Shortcut::decoded(QByteArrayView json) {
    FlatRecord record;
    if (!readFlatDocument(json, record)) {
        return std::nullopt;
    }
    const auto keyCode = integerMember(record, "carbonKeyCode");
    const auto modifiers = integerMember(record, "carbonModifiers");
    if (!keyCode || !modifiers) {
        return std::nullopt;
    }
    Shortcut shortcut;
    shortcut.carbonKeyCode = *keyCode;
    shortcut.carbonModifiers = *modifiers;
    return shortcut;
}

QString capitalized(const QString& text) {
    QString result;
    result.reserve(text.size());
    bool atWordStart = true;
    for (qsizetype index = 0; index < text.size();) {
        char32_t codePoint = text.at(index).unicode();
        qsizetype width = 1;
        if (text.at(index).isHighSurrogate() && index + 1 < text.size() &&
            text.at(index + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text.at(index), text.at(index + 1));
            width = 2;
        }
        if (QChar::isSpace(codePoint)) {
            atWordStart = true;
        } else if (QChar::isLetter(codePoint)) {
            codePoint = atWordStart ? QChar::toTitleCase(codePoint) : QChar::toLower(codePoint);
            atWordStart = false;
        } else {
            atWordStart = false;
        }
        result += QString::fromUcs4(&codePoint, 1);
        index += width;
    }
    return result;
}

} // namespace GlobalHotkeys
