#include "PosixRegex.h"

#include <cctype>
#include <cstring>
#include <string>

namespace vorn::hdd {

namespace {

// Expressions of the database are a few hundred characters at most; an
// interval like (x{1,200}){1,200} must not make a program of millions.
constexpr std::size_t kMaxInstructions = 20000;
constexpr int kMaxRepeat = 255; // RE_DUP_MAX

// A node of the parsed expression. Nodes live in one array and name their
// children by index, so parsing allocates once per expression, not per node.
struct Node {
    enum Kind { Empty, Byte, Any, Class, LineStart, LineEnd, Concat, Alternation, Repeat };
    Kind kind = Empty;
    unsigned char byte = 0;
    int cls = 0;
    int min = 0;
    int max = 0;    // -1: no upper bound
    int first = -1; // the first child
    int last = -1;  // the last child
    int next = -1;  // the next sibling
};

bool namedClass(QByteArrayView name, std::bitset<256>* set) {
    static const struct {
        const char* name;
        int (*test)(int);
    } kClasses[] = {
        {"alnum", ::isalnum}, {"alpha", ::isalpha}, {"blank", ::isblank}, {"cntrl", ::iscntrl},
        {"digit", ::isdigit}, {"graph", ::isgraph}, {"lower", ::islower}, {"print", ::isprint},
        {"punct", ::ispunct}, {"space", ::isspace}, {"upper", ::isupper}, {"xdigit", ::isxdigit},
    };
    for (const auto& c : kClasses) {
        if (name != QByteArrayView(c.name))
            continue;
        // The classes of the C locale: model strings are ASCII, and the
        // result must not change with the user's locale.
        for (int b = 0; b < 128; ++b) {
            if (c.test(b))
                set->set(static_cast<std::size_t>(b));
        }
        return true;
    }
    return false;
}

} // namespace

class PosixRegexCompiler {
public:
    PosixRegexCompiler(QByteArrayView pattern, PosixRegex* out) : m_text(pattern), m_out(out) {}

    bool run(QString* error) {
        // At most an atom and its repetition per character, and a branch
        // and a group node per parenthesis or bar: nodes never move.
        m_nodes.reserve(static_cast<std::size_t>(m_text.size()) * 3 + 4);
        m_out->m_program.reserve(static_cast<std::size_t>(m_text.size()) * 2 + 8);
        int root = -1;
        if (!parseAlternation(&root, 0)) {
            if (error)
                *error = m_error;
            return false;
        }
        if (m_pos < m_text.size()) {
            fail("unmatched )");
            if (error)
                *error = m_error;
            return false;
        }
        if (!generate(root) || !push({PosixRegex::Op::Match, 0, 0, 0})) {
            if (error)
                *error = m_error;
            return false;
        }
        return true;
    }

private:
    using Op = PosixRegex::Op;

    bool fail(const char* what) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at offset %2").arg(QLatin1String(what)).arg(m_pos);
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    int newNode(Node::Kind kind) {
        Node node;
        node.kind = kind;
        m_nodes.push_back(node);
        return static_cast<int>(m_nodes.size()) - 1;
    }

    Node& at(int index) { return m_nodes[static_cast<std::size_t>(index)]; }

    void append(int parent, int child) {
        if (at(parent).last == -1)
            at(parent).first = child;
        else
            at(at(parent).last).next = child;
        at(parent).last = child;
    }

    bool parseAlternation(int* node, int depth) {
        if (depth > 100)
            return fail("groups nested too deep");
        int branch = -1;
        if (!parseBranch(&branch, depth))
            return false;
        if (atEnd() || peek() != '|') {
            *node = branch;
            return true;
        }
        *node = newNode(Node::Alternation);
        append(*node, branch);
        while (!atEnd() && peek() == '|') {
            ++m_pos;
            if (!parseBranch(&branch, depth))
                return false;
            append(*node, branch);
        }
        return true;
    }

    bool parseBranch(int* node, int depth) {
        *node = newNode(Node::Concat);
        while (!atEnd() && peek() != '|' && peek() != ')') {
            int atom = -1;
            if (!parseAtom(&atom, depth))
                return false;
            while (!atEnd() && (peek() == '*' || peek() == '+' || peek() == '?' || peek() == '{')) {
                const int repeat = newNode(Node::Repeat);
                if (!parseRepeat(&at(repeat)))
                    return false;
                append(repeat, atom);
                atom = repeat;
            }
            append(*node, atom);
        }
        return true;
    }

    bool parseRepeat(Node* node) {
        const char c = m_text[m_pos++];
        if (c == '*') {
            node->min = 0, node->max = -1;
            return true;
        }
        if (c == '+') {
            node->min = 1, node->max = -1;
            return true;
        }
        if (c == '?') {
            node->min = 0, node->max = 1;
            return true;
        }
        int low = 0;
        if (!readNumber(&low))
            return fail("interval without a count");
        int high = low;
        if (!atEnd() && peek() == ',') {
            ++m_pos;
            high = -1;
            if (!atEnd() && std::isdigit(static_cast<unsigned char>(peek())) && !readNumber(&high))
                return false;
        }
        if (atEnd() || peek() != '}')
            return fail("unterminated interval");
        ++m_pos;
        if (high != -1 && high < low)
            return fail("interval with its bounds reversed");
        node->min = low, node->max = high;
        return true;
    }

    bool readNumber(int* value) {
        const qsizetype start = m_pos;
        int v = 0;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) {
            v = v * 10 + (peek() - '0');
            if (v > kMaxRepeat)
                return fail("interval count too large");
            ++m_pos;
        }
        *value = v;
        return m_pos > start;
    }

    bool parseAtom(int* node, int depth) {
        const char c = m_text[m_pos++];
        switch (c) {
        case '(':
            if (!parseAlternation(node, depth + 1))
                return false;
            if (atEnd() || peek() != ')')
                return fail("unmatched (");
            ++m_pos;
            return true;
        case '[':
            *node = newNode(Node::Class);
            return parseBracket(&at(*node));
        case '.':
            *node = newNode(Node::Any);
            return true;
        case '^':
            *node = newNode(Node::LineStart);
            return true;
        case '$':
            *node = newNode(Node::LineEnd);
            return true;
        case '*':
        case '+':
        case '?':
        case '{':
            --m_pos;
            return fail("repetition without an operand");
        case '\\':
            if (atEnd())
                return fail("trailing backslash");
            *node = newNode(Node::Byte);
            at(*node).byte = static_cast<unsigned char>(m_text[m_pos++]);
            return true;
        default:
            *node = newNode(Node::Byte);
            at(*node).byte = static_cast<unsigned char>(c);
            return true;
        }
    }

    // One element of a bracket expression at m_pos: a character, or the
    // single character of a [.c.] or [=c=]; false for [:class:].
    bool bracketCharacter(unsigned char* out, bool* isClass, std::bitset<256>* set) {
        *isClass = false;
        if (peek() == '[' && m_pos + 1 < m_text.size()) {
            const char kind = m_text[m_pos + 1];
            if (kind == ':' || kind == '.' || kind == '=') {
                const char close[3] = {kind, ']', '\0'};
                const qsizetype from = m_pos + 2;
                qsizetype end = from;
                while (end + 1 < m_text.size() &&
                       !(m_text[end] == close[0] && m_text[end + 1] == close[1]))
                    ++end;
                if (end + 1 >= m_text.size())
                    return fail("unterminated bracket element");
                const QByteArrayView inner = m_text.sliced(from, end - from);
                m_pos = end + 2;
                if (kind == ':') {
                    *isClass = true;
                    return namedClass(inner, set) || fail("unknown character class");
                }
                if (inner.size() != 1)
                    return fail("collating element of more than one character");
                *out = static_cast<unsigned char>(inner[0]);
                return true;
            }
        }
        *out = static_cast<unsigned char>(m_text[m_pos++]);
        return true;
    }

    bool parseBracket(Node* node) {
        std::bitset<256> set;
        bool negate = false;
        if (!atEnd() && peek() == '^') {
            negate = true;
            ++m_pos;
        }
        bool first = true;
        for (;;) {
            if (atEnd())
                return fail("unmatched [");
            if (peek() == ']' && !first) {
                ++m_pos;
                break;
            }
            first = false;
            unsigned char low = 0;
            bool isClass = false;
            if (!bracketCharacter(&low, &isClass, &set))
                return false;
            if (isClass)
                continue;
            if (m_pos + 1 < m_text.size() && peek() == '-' && m_text[m_pos + 1] != ']') {
                ++m_pos;
                unsigned char high = 0;
                if (!bracketCharacter(&high, &isClass, &set))
                    return false;
                if (isClass || high < low)
                    return fail("invalid range");
                for (int b = low; b <= high; ++b)
                    set.set(static_cast<std::size_t>(b));
            } else {
                set.set(low);
            }
        }
        if (negate)
            set.flip();
        node->cls = static_cast<int>(m_out->m_classes.size());
        m_out->m_classes.push_back(set);
        return true;
    }

    bool push(PosixRegex::Instruction instruction) {
        if (m_out->m_program.size() >= kMaxInstructions)
            return fail("expression too large");
        m_out->m_program.push_back(instruction);
        return true;
    }

    int here() const { return static_cast<int>(m_out->m_program.size()); }

    bool generate(int index) {
        const Node& node = at(index);
        switch (node.kind) {
        case Node::Empty:
            return true;
        case Node::Byte:
            return push({Op::Byte, node.byte, 0, 0});
        case Node::Any:
            return push({Op::Any, 0, 0, 0});
        case Node::Class:
            return push({Op::Class, 0, node.cls, 0});
        case Node::LineStart:
            return push({Op::LineStart, 0, 0, 0});
        case Node::LineEnd:
            return push({Op::LineEnd, 0, 0, 0});
        case Node::Concat:
            for (int child = node.first; child != -1; child = at(child).next) {
                if (!generate(child))
                    return false;
            }
            return true;
        case Node::Alternation:
            return generateAlternation(node);
        case Node::Repeat:
            return generateRepeat(node);
        }
        return false;
    }

    bool generateAlternation(const Node& node) {
        std::vector<int> jumps;
        for (int child = node.first; child != -1; child = at(child).next) {
            const bool last = at(child).next == -1;
            int split = -1;
            if (!last) {
                split = here();
                if (!push({Op::Split, 0, split + 1, 0}))
                    return false;
            }
            if (!generate(child))
                return false;
            if (!last) {
                jumps.push_back(here());
                if (!push({Op::Jump, 0, 0, 0}))
                    return false;
                m_out->m_program[static_cast<std::size_t>(split)].b = here();
            }
        }
        for (int jump : jumps)
            m_out->m_program[static_cast<std::size_t>(jump)].a = here();
        return true;
    }

    bool generateRepeat(const Node& node) {
        const int child = node.first;
        for (int i = 0; i < node.min; ++i) {
            if (!generate(child))
                return false;
        }
        if (node.max == -1) {
            const int loop = here();
            if (!push({Op::Split, 0, loop + 1, 0}) || !generate(child) ||
                !push({Op::Jump, 0, loop, 0}))
                return false;
            m_out->m_program[static_cast<std::size_t>(loop)].b = here();
            return true;
        }
        std::vector<int> splits;
        for (int i = node.min; i < node.max; ++i) {
            splits.push_back(here());
            if (!push({Op::Split, 0, here() + 1, 0}) || !generate(child))
                return false;
        }
        for (int split : splits)
            m_out->m_program[static_cast<std::size_t>(split)].b = here();
        return true;
    }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    PosixRegex* m_out;
    QString m_error;
    std::vector<Node> m_nodes;
};

namespace {

// A conservative reading of the bytes a pattern may start with: any doubt
// answers with every byte.
class FirstBytes {
public:
    explicit FirstBytes(QByteArrayView text) : m_text(text) {}

    std::bitset<256> run() {
        std::bitset<256> set;
        bool empty = false;
        if (!alternation(&set, &empty, 0) || empty || m_pos < m_text.size())
            set.set();
        return set;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    bool alternation(std::bitset<256>* set, bool* empty, int depth) {
        if (depth > 20)
            return false;
        for (;;) {
            bool branchEmpty = true;
            if (!branch(set, &branchEmpty, depth))
                return false;
            *empty = *empty || branchEmpty;
            if (atEnd() || peek() != '|')
                return true;
            ++m_pos;
        }
    }

    // Adds the first bytes of the atoms up to the first that cannot be
    // empty, then skips the rest of the branch.
    bool branch(std::bitset<256>* set, bool* empty, int depth) {
        while (!atEnd() && peek() != '|' && peek() != ')') {
            std::bitset<256> atomSet;
            bool atomEmpty = false;
            if (!atom(&atomSet, &atomEmpty, depth))
                return false;
            if (!atEnd() &&
                (peek() == '*' || peek() == '?' ||
                 (peek() == '{' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '0')))
                atomEmpty = true;
            while (!atEnd() && (peek() == '*' || peek() == '+' || peek() == '?' || peek() == '{')) {
                if (peek() == '{') {
                    while (!atEnd() && peek() != '}')
                        ++m_pos;
                }
                if (atEnd())
                    return false;
                ++m_pos;
            }
            if (*empty)
                *set |= atomSet;
            *empty = *empty && atomEmpty;
        }
        return true;
    }

    bool atom(std::bitset<256>* set, bool* empty, int depth) {
        const char c = m_text[m_pos++];
        switch (c) {
        case '(': {
            if (!alternation(set, empty, depth + 1) || atEnd() || peek() != ')')
                return false;
            ++m_pos;
            return true;
        }
        case '[':
            return bracket(set);
        case '.':
            set->set();
            return true;
        case '^':
        case '$':
            *empty = true;
            return true;
        case '\\':
            if (atEnd())
                return false;
            set->set(static_cast<unsigned char>(m_text[m_pos++]));
            return true;
        default:
            set->set(static_cast<unsigned char>(c));
            return true;
        }
    }

    // Plain bracket expressions only; classes and collating elements give up.
    bool bracket(std::bitset<256>* set) {
        std::bitset<256> inside;
        bool negate = false;
        if (!atEnd() && peek() == '^') {
            negate = true;
            ++m_pos;
        }
        bool first = true;
        while (!atEnd() && (first || peek() != ']')) {
            first = false;
            const auto low = static_cast<unsigned char>(m_text[m_pos++]);
            if (low == '[' && !atEnd() && (peek() == ':' || peek() == '.' || peek() == '='))
                return false;
            if (m_pos + 1 < m_text.size() && peek() == '-' && m_text[m_pos + 1] != ']') {
                const auto high = static_cast<unsigned char>(m_text[m_pos + 1]);
                if (high == '[')
                    return false;
                m_pos += 2;
                for (int b = low; b <= high; ++b)
                    inside.set(static_cast<std::size_t>(b));
            } else {
                inside.set(low);
            }
        }
        if (atEnd())
            return false;
        ++m_pos;
        *set |= negate ? ~inside : inside;
        return true;
    }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

} // namespace

std::bitset<256> PosixRegex::possibleFirstBytes(QByteArrayView pattern) {
    return FirstBytes(pattern).run();
}

std::vector<QByteArray> PosixRegex::literalPrefixes(QByteArrayView pattern) {
    std::vector<QByteArray> prefixes;
    qsizetype pos = 0;
    const qsizetype size = pattern.size();
    for (;;) {
        std::string prefix;
        bool open = true; // still reading the alternative's leading literals
        int depth = 0;
        while (pos < size && (depth > 0 || pattern[pos] != '|')) {
            const char c = pattern[pos];
            if (open && (c == '*' || c == '?' || c == '{')) {
                if (!prefix.empty())
                    prefix.pop_back(); // the last literal may be absent
                open = false;
            }
            if (c == '\\' && pos + 1 < size) {
                if (open && depth == 0)
                    prefix += pattern[pos + 1];
                pos += 2;
                continue;
            }
            if (c == '[') {
                // A bracket expression is skipped whole: ']' first is a member.
                open = false;
                pos += pos + 1 < size && pattern[pos + 1] == '^' ? 2 : 1;
                if (pos < size && pattern[pos] == ']')
                    ++pos;
                while (pos < size && pattern[pos] != ']') {
                    if (pattern[pos] == '[' && pos + 1 < size &&
                        (pattern[pos + 1] == ':' || pattern[pos + 1] == '.' ||
                         pattern[pos + 1] == '=')) {
                        const qsizetype close = pattern.indexOf(pattern[pos + 1], pos + 2);
                        pos = close < 0 ? size : close + 1;
                    }
                    ++pos;
                }
                ++pos;
                continue;
            }
            if (c == '(')
                ++depth;
            else if (c == ')')
                --depth;
            if (c == '(' || c == ')' || c == '.' || c == '^' || c == '$' || c == '+' || c == '*' ||
                c == '?' || c == '{' || c == '}')
                open = false;
            else if (open && depth == 0)
                prefix += c;
            ++pos;
        }
        if (prefix.empty() || depth != 0)
            return {};
        prefixes.emplace_back(prefix.data(), static_cast<qsizetype>(prefix.size()));
        if (pos >= size)
            return prefixes;
        ++pos; // the bar
    }
}

std::optional<PosixRegex> PosixRegex::compile(QByteArrayView pattern, QString* error) {
    PosixRegex regex;
    PosixRegexCompiler compiler(pattern, &regex);
    if (!compiler.run(error))
        return std::nullopt;
    return regex;
}

bool PosixRegex::matchesWhole(QByteArrayView text) const {
    const int size = static_cast<int>(m_program.size());
    std::vector<int> current, next, stack;
    std::vector<qsizetype> seenAt(static_cast<std::size_t>(size), -1);
    current.reserve(static_cast<std::size_t>(size));
    next.reserve(static_cast<std::size_t>(size));

    // Adds pc and every state it reaches without reading, at text position
    // pos, to list: the byte-reading states and the final one.
    auto follow = [&](int pc, qsizetype pos, std::vector<int>* list) {
        stack.push_back(pc);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            if (seenAt[static_cast<std::size_t>(at)] == pos)
                continue;
            seenAt[static_cast<std::size_t>(at)] = pos;
            const Instruction& in = m_program[static_cast<std::size_t>(at)];
            switch (in.op) {
            case Op::Jump:
                stack.push_back(in.a);
                break;
            case Op::Split:
                stack.push_back(in.b);
                stack.push_back(in.a);
                break;
            case Op::LineStart:
                if (pos == 0)
                    stack.push_back(at + 1);
                break;
            case Op::LineEnd:
                if (pos == text.size())
                    stack.push_back(at + 1);
                break;
            default:
                list->push_back(at);
            }
        }
    };

    follow(0, 0, &current);
    for (qsizetype pos = 0; pos < text.size() && !current.empty(); ++pos) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        next.clear();
        for (int pc : current) {
            const Instruction& in = m_program[static_cast<std::size_t>(pc)];
            const bool takes =
                (in.op == Op::Byte && in.byte == byte) || in.op == Op::Any ||
                (in.op == Op::Class && m_classes[static_cast<std::size_t>(in.a)][byte]);
            if (takes)
                follow(pc + 1, pos + 1, &next);
        }
        current.swap(next);
    }
    for (int pc : current) {
        if (m_program[static_cast<std::size_t>(pc)].op == Op::Match)
            return true;
    }
    return false;
}

} // namespace vorn::hdd
