#include "platform/JsonCodec.h"

#include "platform/Preferences.h"

#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

namespace {

using namespace Qt::StringLiterals;

// One whole text as a value, through each of the reader's ways of reading one.
std::optional<QVariant> asVariant(const QByteArray& text, int depth = 8) {
    JsonReader reader(text, depth);
    QVariant value;
    if (!reader.readVariant(value) || !reader.atEnd()) {
        return std::nullopt;
    }
    return value;
}
bool skips(const QByteArray& text, int depth = 8) {
    JsonReader reader(text, depth);
    return reader.skipValue() && reader.atEnd();
}
std::optional<FlatRecord::Value> asFlatValue(const QByteArray& text) {
    JsonReader reader(text, 8);
    FlatRecord::Value value;
    if (!reader.readFlatValue(value) || !reader.atEnd()) {
        return std::nullopt;
    }
    return value;
}

TEST(JsonCodecTest, EveryWayOfReadingAValueAgreesOnNumbers) {
    // The last column: whether a reader that refuses inexact numbers takes it, as it is written back as the
    // same number.
    // clang-format off
    const std::vector<std::tuple<const char*, QByteArray, QVariant, bool>> cases{
        {"integer", "-42", qint64(-42), true},
        {"largest integer", "9223372036854775807", std::numeric_limits<qint64>::max(), true},
        {"beyond 64 bits is a double", "9223372036854775808", 9223372036854775808.0, true},
        {"beyond a double's digits too", "12345678901234567891", 12345678901234567891.0, false},
        {"a fraction makes a double", "1.0", 1.0, true},
        {"an exponent makes a double", "1E2", 100.0, true},
        {"zeros after the fraction", "2.50", 2.5, true},
        {"more digits than a double holds", "0.10000000000000000001", 0.1, false},
        {"minus zero is an integer zero", "-0", qint64(0), true},
        {"too small for a double reads as zero", "1e-400", 0.0, false},
        {"too small in a long mantissa", "0.0000000000000000000000001e-380", 0.0, false},
        {"smallest subnormal", "5e-324", 5e-324, true},
        {"too large for a double", "1e400", QVariant(), false},
        {"too large by its digits", "1" + QByteArray(400, '0') + ".5", QVariant(), false},
        {"leading zero", "01", QVariant(), false},
        {"bare minus", "-", QVariant(), false},
        {"no digits after the point", "1.", QVariant(), false},
        {"plus sign", "+1", QVariant(), false},
    };
    // clang-format on
    for (const auto& [name, text, expected, exact] : cases) {
        SCOPED_TRACE(name);
        const auto value = asVariant(text);
        const auto flat = asFlatValue(text);
        EXPECT_EQ(skips(text), expected.isValid());
        EXPECT_EQ(flat.has_value(), expected.isValid());
        JsonReader exactReader(text, 8);
        exactReader.refuseInexactNumbers();
        QVariant exactValue;
        EXPECT_EQ(exactReader.readVariant(exactValue) && exactReader.atEnd(), exact);
        ASSERT_EQ(value.has_value(), expected.isValid());
        if (value) {
            EXPECT_EQ(value->typeId(), expected.typeId());
            EXPECT_EQ(*value, expected);
            const bool integral = expected.typeId() == QMetaType::LongLong;
            EXPECT_EQ(flat->type,
                      integral ? FlatRecord::Value::Type::integer : FlatRecord::Value::Type::floating);
        }
    }
}

TEST(JsonCodecTest, AnObjectIsDataOnlyWhenItsOneMemberIsTheTagWithText) {
    const QByteArray bytes("\x00\x01\x02", 3);
    // clang-format off
    const std::vector<std::tuple<const char*, QByteArray, QVariant>> cases{
        {"canonical", R"({"$data":"AAEC"})", bytes},
        {"spaced and broken over lines", R"({ "$data" : "AA\nEC" })", bytes},
        {"empty", R"({"$data":""})", QByteArray()},
        {"white space and the closing padding passed over", R"({"$data":" AAEC\nAA=\t= "})", QByteArray("\x00\x01\x02\x00", 4)},
        {"no padding", R"({"$data":"AAECAA"})", QByteArray("\x00\x01\x02\x00", 4)},
        // Text that does not decode exactly stays the text it is, so nothing writes it back as other bytes.
        {"a sign outside the alphabet keeps the text", R"({"$data":"AA!CAAEC"})", QVariantMap{{u"$data"_s, u"AA!CAAEC"_s}}},
        {"text that is no base64 at all stays as it is", R"({"$data":"meeting notes: call Anna!"})", QVariantMap{{u"$data"_s, u"meeting notes: call Anna!"_s}}},
        {"a padding sign before the end keeps the text", R"({"$data":"AA=CAAEC"})", QVariantMap{{u"$data"_s, u"AA=CAAEC"_s}}},
        {"a lone last sign keeps the text", R"({"$data":"AAECA"})", QVariantMap{{u"$data"_s, u"AAECA"_s}}},
        {"the last of a repeated tag", R"({"$data":1,"$data":"AAEC"})", bytes},
        {"a repeated tag ending on a number", R"({"$data":"AAEC","$data":1})", QVariantMap{{u"$data"_s, qint64(1)}}},
        {"another member makes a map", R"({"$data":"AAEC","x":null})",
         QVariantMap{{u"$data"_s, u"AAEC"_s}, {u"x"_s, QVariant()}}},
        {"a number under the tag", R"({"$data":7})", QVariantMap{{u"$data"_s, qint64(7)}}},
        {"a list of texts is a string list", R"(["a",""])", QStringList{u"a"_s, QString()}},
        {"an empty list is a string list", "[]", QStringList()},
        {"a mixed list", R"(["a",null,{}])", QVariantList{u"a"_s, QVariant(), QVariantMap()}},
    };
    // clang-format on
    for (const auto& [name, text, expected] : cases) {
        SCOPED_TRACE(name);
        const auto value = asVariant(text);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->typeId(), expected.typeId());
        EXPECT_EQ(*value, expected);
        // Written and read again, it is the same value.
        JsonWriter writer;
        writer.value(*value);
        EXPECT_EQ(asVariant(writer.take()), *value);
    }
}

// What a cut file's whole-file tests cannot reach: where the cut falls inside an escape, and what is not a
// data object cut short.
TEST(JsonCodecTest, ADataObjectCutShortReadsAsFarAsItGoes) {
    const QByteArray bytes("\x00\x01\x02", 3);
    // clang-format off
    const std::vector<std::tuple<const char*, QByteArray, QVariant>> cases{
        {"cut inside an escape", R"({"$data":"AAEC\u00)", bytes},
        {"cut after a lone sign", R"({"$data":"AAECA)", QVariantMap{{u"$data"_s, u"AAECA"_s}}},
        {"another member after the text", R"({"$data":"AAEC","x":)", QVariant()},
        {"not the data tag", R"({"x":"AAEC)", QVariant()},
    };
    // clang-format on
    for (const auto& [name, cut, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(JsonCodec::dataCutShort(cut).value_or(QVariant()), expected);
    }
}

TEST(JsonCodecTest, EveryByteOfAStringIsCheckedWhereverItFalls) {
    // Plain text is scanned in blocks; what needs attention must be caught at any offset within one.
    // clang-format off
    const std::vector<std::tuple<const char*, QByteArray, std::optional<QString>>> cases{
        {"escape", "\\n", u"\n"_s},
        {"two-byte character", "\xC3\xA9", u"é"_s},
        {"four-byte character", "\xF0\x9F\x8D\xB5", u"🍵"_s},
        {"raw control character", "\x01", std::nullopt},
        {"raw line break", "\n", std::nullopt},
        {"highest control character", "\x1F", std::nullopt},
        {"space is plain text", " ", u" "_s},
        {"delete is plain text", "\x7F", u"\x7F"_s},
        {"lone continuation byte", "\x80", std::nullopt},
        {"truncated sequence", "\xE8\x8C", std::nullopt},
        {"quote ends the text early", "\"", std::nullopt},
    };
    // clang-format on
    for (const auto& [name, inner, expected] : cases) {
        for (int before = 0; before < 17; ++before) {
            SCOPED_TRACE(testing::Message() << name << " after " << before);
            const QByteArray pad(before, 'a');
            const auto value = asVariant("\"" + pad + inner + "tail-of-the-text\"");
            ASSERT_EQ(value.has_value(), expected.has_value());
            if (value) {
                EXPECT_EQ(value->toString(), QString::fromLatin1(pad) + *expected + u"tail-of-the-text"_s);
            }
        }
    }
}

TEST(JsonCodecTest, TextKeepsALeadingZeroWidthNoBreakSpace) {
    const QString text = u"\uFEFF\uFEFFTea"_s;
    JsonWriter writer;
    writer.value(text);
    const QByteArray json = writer.take();
    EXPECT_EQ(asVariant(json), QVariant(text));

    JsonReader reader("[{\"t\":" + json + "}]", 4);
    FlatRecord record;
    ASSERT_TRUE(reader.beginArray() && reader.nextElement() && reader.readFlatObject(record));
    EXPECT_EQ(record.string("t"), text);

    const QVariantMap values{{text, QStringList{text}}};
    EXPECT_EQ(Preferences::deserialize(Preferences::serialize(values)), values);
}

TEST(JsonCodecTest, TheDepthLimitCountsTheOutermostContainer) {
    auto nested = [](int depth) { return QByteArray(depth, '[') + QByteArray(depth, ']'); };
    for (int limit : {1, 2, 5}) {
        SCOPED_TRACE(limit);
        EXPECT_TRUE(asVariant(nested(limit), limit));
        EXPECT_TRUE(skips(nested(limit), limit));
        EXPECT_FALSE(asVariant(nested(limit + 1), limit));
        EXPECT_FALSE(skips(nested(limit + 1), limit));
    }
    // Closing a container frees its level for the next one.
    EXPECT_TRUE(skips("[[],[],[[]]]", 3));
}

TEST(JsonCodecTest, AWriterWithASinkHandsOnTheSameBytesInPieces) {
    QVariantMap values{{u"data"_s, QByteArray(300 * 1024, 'x')}, {u"text"_s, u"a\"b"_s}};
    JsonWriter buffered;
    buffered.value(QVariant(values));
    const QByteArray whole = buffered.take();

    QByteArray pieces;
    int calls = 0;
    JsonWriter streamed([&](const char* bytes, qsizetype size) {
        ++calls;
        pieces.append(bytes, size);
        return true;
    });
    streamed.value(QVariant(values));
    EXPECT_TRUE(streamed.finish());
    EXPECT_EQ(pieces, whole);
    EXPECT_GT(calls, 1); // never the whole document at once

    int failingCalls = 0;
    JsonWriter failing([&failingCalls](const char*, qsizetype) {
        ++failingCalls;
        return false;
    });
    failing.value(QVariant(values));
    EXPECT_FALSE(failing.finish());
    EXPECT_EQ(failingCalls, 1); // nothing more is handed on after a failed write
}

TEST(JsonCodecTest, ANumberWithNoJsonFormIsWrittenAsNull) {
    for (const double number :
         {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        JsonWriter writer;
        writer.beginArray();
        writer.value(number);
        writer.value(0.5);
        writer.endArray();
        EXPECT_EQ(writer.take(), QByteArray("[null,0.5]"));
    }
}

} // namespace
