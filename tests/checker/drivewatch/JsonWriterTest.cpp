#include "JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorn::drivewatch;

namespace {

// Written member by member, out of key order, the text is what Qt makes of
// the same values as a tree.
TEST(JsonWriter, WritesWhatQtWritesForTheSameValues) {
    QString surrogates;
    surrogates += QChar(0xD83D); // a pair: one character outside the BMP
    surrogates += QChar(0xDE00);
    surrogates += QChar(0xDC00); // a lone low and a lone high surrogate
    surrogates += QChar(0xDBFF);
    const QString texts[] = {
        QString(),
        QStringLiteral("ST2000DM008-2FR102"),
        QString::fromUtf8("温度 ディスク é \u20ac \uffff"),
        QStringLiteral("quote \" backslash \\ slash / tab \t\n\r\b\f"),
        QString::fromLatin1("\x01\x1a\x1f\x7f"),
        surrogates,
        QString(5000, QChar(0x20AC)), // longer than the buffer holds at first
    };
    const double numbers[] = {0.0,
                              -0.0,
                              0.5,
                              1.0 / 3,
                              100.0,
                              1e16,
                              12345678901234568.0,
                              1e-7,
                              -2.5e-300,
                              99.99999999,
                              std::nan(""),
                              std::numeric_limits<double>::infinity()};
    const qint64 integers[] = {0, -1, std::numeric_limits<qint64>::max(),
                               std::numeric_limits<qint64>::min(), 9007199254740993LL};

    CJsonWriter writer;
    QJsonObject expected;
    writer.BeginObject();
    writer.Key("texts").BeginArray();
    QJsonArray textArray;
    for (const QString& text : texts) {
        writer.Value(text);
        textArray.append(text);
    }
    writer.EndArray();
    expected.insert(QStringLiteral("texts"), textArray);

    writer.Key("numbers").BeginArray();
    QJsonArray numberArray;
    for (double number : numbers) {
        writer.Value(number);
        numberArray.append(number);
    }
    for (qint64 number : integers) {
        writer.Value(number);
        numberArray.append(number);
    }
    writer.EndArray();
    expected.insert(QStringLiteral("numbers"), numberArray);

    writer.Key("zero_members").BeginObject();
    writer.EndObject();
    expected.insert(QStringLiteral("zero_members"), QJsonObject());
    writer.Key("a_list").BeginArray();
    writer.BeginObject();
    writer.Key("worst").Value(-1);
    writer.Key("id").Value(194);
    writer.Key("empty").BeginArray();
    writer.EndArray();
    writer.Key("flag").Value(false);
    writer.Key("nothing").Null();
    writer.EndObject();
    writer.EndArray();
    expected.insert(QStringLiteral("a_list"),
                    QJsonArray{QJsonObject{{QStringLiteral("worst"), -1},
                                           {QStringLiteral("id"), 194},
                                           {QStringLiteral("empty"), QJsonArray()},
                                           {QStringLiteral("flag"), false},
                                           {QStringLiteral("nothing"), QJsonValue()}}});

    const QJsonObject tree{{QStringLiteral("b"), 1},
                           {QStringLiteral("a"), QJsonArray{1.5, true, QJsonValue(), qint64(7)}}};
    writer.Key("from_qt").Value(QJsonValue(tree));
    expected.insert(QStringLiteral("from_qt"), tree);
    writer.EndObject();

    EXPECT_EQ(writer.Take().toStdString(), QJsonDocument(expected).toJson().toStdString());
}

// Handed out in parts, the text is the document written whole: nothing
// leaves while an object that sorts holds members, and the separator a
// close takes back stays behind.
TEST(JsonWriter, PartsHandedOutJoinToTheWholeDocument) {
    const auto write = [](CJsonWriter* writer, QByteArray* parts, int* refused) {
        const auto take = [&] {
            if (!parts)
                return;
            const QByteArray part = writer->TakeWritten();
            *parts += part;
            *refused += part.isEmpty() ? 1 : 0;
        };
        writer->BeginObject(CJsonWriter::Members::InKeyOrder);
        writer->Key("disks").BeginArray();
        for (int disk = 0; disk < 3; ++disk) {
            writer->BeginObject();
            writer->Key("model").Value(QStringLiteral("M%1").arg(disk));
            take(); // a sorting object is open with a member: nothing may leave
            writer->Key("index").Value(disk);
            writer->EndObject();
            take();
        }
        writer->EndArray();
        writer->Key("machine").Value(QStringLiteral("sample"));
        writer->EndObject();
    };
    CJsonWriter whole;
    write(&whole, nullptr, nullptr);
    const QByteArray expected = whole.Take();

    CJsonWriter parted;
    QByteArray parts;
    int refused = 0;
    write(&parted, &parts, &refused);
    EXPECT_EQ(refused, 3);
    EXPECT_TRUE(parts.endsWith("}")) << parts.constData();
    EXPECT_EQ((parts + parted.Take()).toStdString(), expected.toStdString());
}

} // namespace
