#include "framework/stored/stored_text.h"

#include "framework/core/exceptions.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

const char* DescribeValueKind(StoredValue::Kind kind) {
    switch (kind) {
    case StoredValue::Kind::Integer: return "an integer";
    case StoredValue::Kind::String: return "a string";
    case StoredValue::Kind::Identifier: return "an identifier";
    case StoredValue::Kind::Set: return "a set";
    case StoredValue::Kind::List: return "a list";
    case StoredValue::Kind::Binary: return "binary data";
    case StoredValue::Kind::Float: return "a floating-point number";
    }
    return "a value";
}

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    StoredObject ParseRoot() {
        SkipBlanks();
        StoredObject root = ParseObject();
        SkipBlanks();
        if (!AtEnd()) Fail(line_, "unexpected text after the end of the root object");
        return root;
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) const {
        // Name the place as precisely as the parse has got: the property, the object, or neither.
        std::string where = "stored description";
        if (!object_.empty()) where = property_.empty() ? "object " + object_ : object_ + "." + property_;
        throw EReadError("Error reading " + where + " on line " + std::to_string(line) + ": " + what);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    // Skips spaces, line ends and `//` comments.
    void SkipBlanks() {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (!AtEnd() && Peek() != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    std::string ReadName() {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Fail(line_, AtEnd() ? "a name expected before the end of the text" : "a name expected");
        const std::size_t start = pos_;
        while (IsIdentChar(Peek())) ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    // A property name: identifiers joined by dots ("Font.Height").
    std::string ReadPath() {
        std::string path = ReadName();
        while (Peek() == '.' && IsIdentStart(Peek(1))) {
            ++pos_;
            path += '.';
            path += ReadName();
        }
        return path;
    }

    void Expect(char symbol, const std::string& what) {
        SkipBlanks();
        if (Peek() != symbol) Fail(line_, what + " expected");
        ++pos_;
    }

    // Bounds the recursion of nested objects and lists, so hostile text cannot exhaust the stack.
    struct Nesting {
        Parser& parser;
        explicit Nesting(Parser& p) : parser(p) {
            if (++parser.depth_ > kMaxDepth) parser.Fail(parser.line_, "nested too deeply");
        }
        ~Nesting() { --parser.depth_; }
    };
    static constexpr int kMaxDepth = 64;

    StoredObject ParseObject() {
        const Nesting nesting(*this);
        StoredObject object;
        object.line = line_;
        const std::string keyword = ReadName();
        if (!SameWord(keyword, "object")) Fail(object.line, "'object' expected");
        object.name = ReadName();
        object_ = object.name;
        property_.clear();
        Expect(':', "':' after the object's name");
        object.className = ReadName();
        for (;;) {
            SkipBlanks();
            if (AtEnd()) {
                object_ = object.name;
                property_.clear();
                Fail(object.line, "no 'end' for this object before the end of the text");
            }
            const std::size_t save = pos_;
            const int line = line_;
            object_ = object.name;
            property_.clear();
            const std::string word = ReadPath();
            if (SameWord(word, "end")) return object;
            if (SameWord(word, "object")) {
                pos_ = save;
                line_ = line;
                object.children.push_back(ParseObject());
                continue;
            }
            // Properties first: the object is complete before anything nested in it is read.
            if (!object.children.empty()) Fail(line, "property " + word + " must come before nested objects");
            property_ = word;
            StoredProperty property;
            property.name = word;
            property.line = line;
            Expect('=', "'=' after property " + word);
            property.value = ParseValue();
            object.properties.push_back(std::move(property));
        }
    }

    StoredValue ParseValue() {
        const Nesting nesting(*this);
        SkipBlanks();
        StoredValue v;
        v.line = line_;
        const char c = Peek();
        if (AtEnd()) Fail(line_, "a value expected before the end of the text");
        if (c == '\'' || c == '#') {
            v.kind = StoredValue::Kind::String;
            v.text = ReadString();
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '$') {
            ReadNumber(v);
        } else if (IsIdentStart(c)) {
            v.kind = StoredValue::Kind::Identifier;
            v.text = ReadPath();
        } else if (c == '[') {
            ++pos_;
            v.kind = StoredValue::Kind::Set;
            ReadSet(v);
        } else if (c == '(') {
            ++pos_;
            v.kind = StoredValue::Kind::List;
            ReadList(v);
        } else if (c == '{') {
            ++pos_;
            v.kind = StoredValue::Kind::Binary;
            ReadBinary(v);
        } else {
            Fail(line_, std::string("unexpected character '") + c + "'");
        }
        return v;
    }

    // An integer, or a decimal number with a fraction or an exponent (1.5, -2.5E-3, 0.000000).
    void ReadNumber(StoredValue& v) {
        if (IsFloatAhead()) {
            v.kind = StoredValue::Kind::Float;
            v.real = ReadFloat();
        } else {
            v.kind = StoredValue::Kind::Integer;
            v.integer = ReadInteger();
        }
    }

    bool IsFloatAhead() const {
        std::size_t p = pos_;
        if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) ++p;
        const std::size_t digitsStart = p;
        while (p < text_.size() && std::isdigit(static_cast<unsigned char>(text_[p]))) ++p;
        if (p == digitsStart || p >= text_.size()) return false;
        return text_[p] == '.' || text_[p] == 'e' || text_[p] == 'E';
    }

    double ReadFloat() {
        const int line = line_;
        const std::size_t start = pos_;
        auto digits = [this] {
            int n = 0;
            for (; std::isdigit(static_cast<unsigned char>(Peek())); ++n) ++pos_;
            return n;
        };
        if (Peek() == '-' || Peek() == '+') ++pos_;
        digits();
        if (Peek() == '.') {
            ++pos_;
            if (digits() == 0) Fail(line, "malformed number");
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '-' || Peek() == '+') ++pos_;
            if (digits() == 0) Fail(line, "malformed number");
        }
        if (IsIdentChar(Peek())) Fail(line, "malformed number");
        const std::string number(text_.substr(start, pos_ - start));
        const double value = std::strtod(number.c_str(), nullptr);
        if (!std::isfinite(value)) Fail(line, "number out of range");
        return value;
    }

    std::int64_t ReadInteger() {
        const int line = line_;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++pos_;
        }
        const bool hex = Peek() == '$';
        if (hex) ++pos_;
        const std::uint64_t base = hex ? 16 : 10;
        std::uint64_t magnitude = 0;
        int digits = 0;
        for (;;) {
            const int d = hex ? HexDigit(Peek())
                              : (std::isdigit(static_cast<unsigned char>(Peek())) ? Peek() - '0' : -1);
            if (d < 0) break;
            if (magnitude > (static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) - d) / base)
                Fail(line, "number out of range");
            magnitude = magnitude * base + static_cast<std::uint64_t>(d);
            ++pos_;
            ++digits;
        }
        if (digits == 0 || IsIdentChar(Peek())) Fail(line, "malformed number");
        const auto value = static_cast<std::int64_t>(magnitude);
        return negative ? -value : value;
    }

    // Quoted pieces ('it''s') and character codes (#13) written together make one string.
    std::string ReadString() {
        const int line = line_;
        std::string out;
        for (;;) {
            if (Peek() == '\'') {
                ++pos_;
                for (;;) {
                    if (AtEnd() || Peek() == '\n') Fail(line, "string not closed on its line");
                    const char c = text_[pos_++];
                    if (c != '\'') {
                        out += c;
                    } else if (Peek() == '\'') {
                        out += '\'';
                        ++pos_;
                    } else {
                        break;
                    }
                }
            } else if (Peek() == '#') {
                ++pos_;
                int code = 0;
                int digits = 0;
                while (std::isdigit(static_cast<unsigned char>(Peek())) && digits < 4) {
                    code = code * 10 + (Peek() - '0');
                    ++pos_;
                    ++digits;
                }
                if (digits == 0 || code > 255) Fail(line, "malformed character code in a string");
                out += static_cast<char>(code);
            } else {
                return out;
            }
        }
    }

    void ReadSet(StoredValue& v) {
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
            return;
        }
        for (;;) {
            if (AtEnd()) Fail(v.line, "set not closed with ']'");
            v.names.push_back(ReadName());
            SkipBlanks();
            if (Peek() == ']') {
                ++pos_;
                return;
            }
            if (AtEnd()) Fail(v.line, "set not closed with ']'");
            Expect(',', "',' or ']' in a set");
        }
    }

    void ReadList(StoredValue& v) {
        for (;;) {
            SkipBlanks();
            if (AtEnd()) Fail(v.line, "list not closed with ')'");
            if (Peek() == ')') {
                ++pos_;
                return;
            }
            v.items.push_back(ParseValue());
        }
    }

    void ReadBinary(StoredValue& v) {
        int pending = -1;
        for (;;) {
            if (AtEnd()) Fail(v.line, "binary data ends before its closing '}'");
            const char c = text_[pos_++];
            if (c == '}') break;
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            const int d = HexDigit(c);
            if (d < 0) Fail(line_, std::string("invalid character '") + c + "' in binary data");
            if (pending < 0) {
                pending = d;
            } else {
                v.bytes.push_back(static_cast<std::uint8_t>(pending * 16 + d));
                pending = -1;
            }
        }
        if (pending >= 0) Fail(v.line, "binary data has an odd number of hex digits");
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int depth_ = 0;
    std::string object_;   // the object being read, for messages
    std::string property_; // the property being read, for messages
};

} // namespace

StoredObject ParseStoredText(std::string_view text) { return Parser(text).ParseRoot(); }
