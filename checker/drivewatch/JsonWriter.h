#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QJsonValue;

namespace vorn::drivewatch {

// JSON text written as it is produced, byte for byte in the layout of
// QJsonDocument::toJson(Indented): four blanks per level, one member or
// element per line, object members in key order, integers as integers and
// other numbers in their shortest form. drivewatch writes every disk of a
// machine this way instead of building a tree of Qt objects first.
//
// Members may be added in any order; an object puts its own in key order
// when it is closed, as QJsonObject would. Keys are plain ASCII.
//
// An object whose members the caller adds in key order already can say so;
// while every open object is such an object, nothing written can move any
// more, and TakeWritten() hands the text out part by part.
class CJsonWriter {
public:
    enum class Members { Sort, InKeyOrder };

    void BeginObject(Members members = Members::Sort);
    void EndObject();
    void BeginArray();
    void EndArray();

    // Inside an object: names the member whose value comes next (a value
    // or a container).
    CJsonWriter& Key(const char* name);

    void Value(qint64 number);
    void Value(int number) { Value(static_cast<qint64>(number)); }
    void Value(bool truth);
    void Value(double number); // null when not finite, as Qt writes it
    void Value(const QString& text);
    void Null();
    // A part that is still built as Qt objects, written in the same layout.
    void Value(const QJsonValue& value);

    // The document with its closing line feed; the writer is empty after.
    QByteArray Take();
    // The text written so far but for the separator a close may take back,
    // when nothing in it can be put in another order; else nothing. Take()
    // then gives the rest.
    QByteArray TakeWritten();

private:
    struct Member {
        const char* key;
        qsizetype begin; // where the member's line starts in m_out
    };
    struct Level {
        bool object = false;
        bool inKeyOrder = false; // the caller's promise; its members are not recorded
        int count = 0;
        std::size_t firstMember = 0;   // objects: where their members start in m_members
        const char* lastKey = nullptr; // objects in key order: to check the promise
    };

    void BeginValue();
    void EndValue();
    void Open(bool object, bool inKeyOrder = false);
    void Close();
    void SortMembers(const Level& level);
    void Indent(int depth);

    // The text so far. The array grows by doubling, in place, and is handed
    // out without a copy; `size` is how much of it is written.
    struct Text {
        QByteArray bytes;
        qsizetype size = 0;
    };
    Text m_out;
    std::vector<Level> m_levels;
    std::vector<Member> m_members; // of every open object, innermost last
    const char* m_key = nullptr;
};

} // namespace vorn::drivewatch
