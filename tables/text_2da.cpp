#include "tables/text_2da.hpp"

#include <algorithm>
#include <vector>

namespace zelvane {
namespace {

constexpr std::string_view kEmptyCell = "****";
constexpr std::string_view kDefaultKey = "DEFAULT:";
// Columns no wider than this are aligned; a wider one is followed by a single space, so that one
// long cell does not pad every line of the table.
constexpr std::size_t kMaxAlignedWidth = 32;

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r'; }

struct Token {
    std::string value;
    bool quoted = false;
};

// The values of one line. A token is a run of characters up to white space, or the text between
// two double quotes; "****" (quoted or not) is the empty string. Nothing when a quote is left open,
// a closing quote is followed by more than white space, or a bare token holds a quote.
std::optional<std::vector<Token>> Tokens(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsWhite(line[i])) ++i;
        if (i == line.size()) return tokens;
        Token token;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            if (close + 1 < line.size() && !IsWhite(line[close + 1])) return std::nullopt;
            token.value = line.substr(i + 1, close - i - 1);
            token.quoted = true;
            i = close + 1;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsWhite(line[i])) {
                if (line[i] == '"') return std::nullopt;
                ++i;
            }
            token.value = line.substr(start, i - start);
        }
        if (token.value == kEmptyCell) token.value.clear();
        tokens.push_back(std::move(token));
    }
}

// Cuts the text into lines at line feeds, without the carriage return before one.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : rest_(text) {}

    std::optional<std::string_view> Next() {
        if (rest_.empty()) return std::nullopt;
        const std::size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        return line;
    }
    // The tokens of the next line that has any; an empty list at the end of the text.
    std::optional<std::vector<Token>> NextTokens() {
        while (const std::optional<std::string_view> line = Next()) {
            std::optional<std::vector<Token>> tokens = Tokens(*line);
            if (!tokens || !tokens->empty()) return tokens;
        }
        return std::vector<Token>{};
    }

private:
    std::string_view rest_;
};

LineEnd LineEndOf(std::string_view text) {
    const std::size_t end = text.find('\n');
    return end != std::string_view::npos && (end == 0 || text[end - 1] != '\r') ? LineEnd::Lf : LineEnd::CrLf;
}

std::vector<std::string> Values(std::vector<Token>&& tokens, std::size_t from) {
    std::vector<std::string> values;
    values.reserve(tokens.size() - from);
    for (std::size_t i = from; i < tokens.size(); ++i) values.push_back(std::move(tokens[i].value));
    return values;
}

bool NeedsQuotes(std::string_view value) { return std::any_of(value.begin(), value.end(), IsWhite); }

// What a string takes written as a token; nothing when it cannot be written to read back the same.
std::optional<std::size_t> WrittenWidth(std::string_view value) {
    if (value.empty()) return kEmptyCell.size();
    if (value == kEmptyCell || value.find_first_of("\n\"") != std::string_view::npos) return std::nullopt;
    return NeedsQuotes(value) ? value.size() + 2 : value.size();
}

void AppendToken(std::string& out, std::string_view value, bool quote) {
    if (value.empty()) {
        out += kEmptyCell;
    } else if (quote || NeedsQuotes(value)) {
        out += '"';
        out += value;
        out += '"';
    } else {
        out += value;
    }
}

// The widths of the row-label column and of each column, or nothing when a string cannot be
// written.
std::optional<std::vector<std::size_t>> ColumnWidths(const Table& table) {
    std::vector<std::size_t> widths(table.columns.size() + 1, 0);
    auto widen = [&](std::size_t column, std::string_view value) {
        const std::optional<std::size_t> width = WrittenWidth(value);
        if (width) widths[column] = std::max(widths[column], *width);
        return width.has_value();
    };
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (!widen(c + 1, table.columns[c])) return std::nullopt;
    }
    for (const TableRow& row : table.rows) {
        if (!widen(0, row.label)) return std::nullopt;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            if (!widen(c + 1, row.cells[c])) return std::nullopt;
        }
    }
    return widths;
}

// Appends the tokens of one line, each padded to the width of its column.
class LineWriter {
public:
    LineWriter(std::string& out, const std::vector<std::size_t>& widths) : out_(out), widths_(widths) {}

    void Add(std::string_view value, bool quote = false) {
        out_.append(padding_, ' ');
        const std::size_t before = out_.size();
        AppendToken(out_, value, quote);
        PadTo(out_.size() - before);
    }
    // Leaves the row-label column blank, as the line of column labels does.
    void Blank() { PadTo(0); }

private:
    void PadTo(std::size_t written) {
        const std::size_t width = widths_[column_++];
        if (width <= kMaxAlignedWidth && written < width) {
            padding_ = width - written + 1;
        } else {
            padding_ = written > 0 ? 1 : 0;
        }
    }

    std::string& out_;
    const std::vector<std::size_t>& widths_;
    std::size_t column_ = 0;
    std::size_t padding_ = 0;
};

}  // namespace

std::optional<Table> ReadText2da(std::string_view text) {
    LineCursor lines(text);
    const std::optional<std::string_view> header = lines.Next();
    if (!header) return std::nullopt;
    std::string_view headerLine = *header;
    while (!headerLine.empty() && IsWhite(headerLine.back())) headerLine.remove_suffix(1);
    if (headerLine != kText2daHeader) return std::nullopt;

    Table table;
    table.format = TableFormat::Text;
    table.lineEnd = LineEndOf(text);
    std::optional<std::vector<Token>> tokens = lines.NextTokens();
    if (!tokens) return std::nullopt;
    if (tokens->size() == 2 && !(*tokens)[0].quoted && (*tokens)[0].value == kDefaultKey) {
        table.defaultValue = std::move((*tokens)[1].value);
        tokens = lines.NextTokens();
        if (!tokens) return std::nullopt;
    }
    if (tokens->size() > kMaxTableColumns) return std::nullopt;
    table.columns = Values(std::move(*tokens), 0);

    while (true) {
        tokens = lines.NextTokens();
        if (!tokens) return std::nullopt;
        if (tokens->empty()) return table;
        if (tokens->size() != table.columns.size() + 1 || table.rows.size() == kMaxTableRows) return std::nullopt;
        std::string label = std::move((*tokens)[0].value);
        table.rows.push_back(TableRow{std::move(label), Values(std::move(*tokens), 1)});
    }
}

std::optional<std::string> WriteText2da(const Table& table) {
    if (table.columns.size() > kMaxTableColumns || table.rows.size() > kMaxTableRows) return std::nullopt;
    if (!IsRectangular(table) || (table.columns.empty() && !table.rows.empty())) return std::nullopt;
    if (table.defaultValue && !WrittenWidth(*table.defaultValue)) return std::nullopt;
    const std::optional<std::vector<std::size_t>> widths = ColumnWidths(table);
    if (!widths) return std::nullopt;

    const std::string_view eol = table.lineEnd == LineEnd::CrLf ? "\r\n" : "\n";
    std::string out(kText2daHeader);
    out += eol;
    if (table.defaultValue) {
        out += kDefaultKey;
        out += ' ';
        AppendToken(out, *table.defaultValue, false);
    }
    out += eol;

    // The labels stand over their columns. A first label "DEFAULT:" is quoted, so that it is not
    // read as the DEFAULT line.
    LineWriter labels(out, *widths);
    labels.Blank();
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        labels.Add(table.columns[c], c == 0 && table.columns[c] == kDefaultKey);
    }
    out += eol;
    for (const TableRow& row : table.rows) {
        LineWriter line(out, *widths);
        line.Add(row.label);
        for (const std::string& cell : row.cells) line.Add(cell);
        out += eol;
    }
    return out;
}

}  // namespace zelvane
