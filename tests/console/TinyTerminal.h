#pragma once

#include <algorithm>
#include <string>
#include <vector>

// A terminal just capable enough to play back what the model writes: printable
// ASCII, CR, LF (with the return that the terminal's output mapping adds; a row
// that wrapped stays marked so, as in tmux, even when a line feed leaves it),
// Backspace, cursor up, down and to a column, erasing a row and below, colours
// (dropped), the wrap that stays pending after the last column, and scrolling at
// the bottom. Rows that scroll out are kept, so that the test can see the whole
// buffer as the model counts it. A resize either re-wraps the rows that wrapped
// (tmux, VTE) or keeps every row as it was, cut to the new width (xterm).
class TinyTerminal {
public:
    enum class Resize { kRewrap, kKeep };

    TinyTerminal(int width, int height) : width_(width), height_(height), rows_(1) {}

    void Play(const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char ch = bytes[i];
            if (ch == '\x1b') {
                std::size_t end = bytes.find_first_of("ABGmJK", i);
                int count = std::stoi("0" + bytes.substr(i + 2, end - i - 2));
                Control(bytes[end], count);
                i = end;
            } else if (ch == '\r') {
                column_ = 0;
                pending_ = false;
            } else if (ch == '\n') {
                column_ = 0;
                pending_ = false;
                Down();
            } else if (ch == '\b') {
                column_ = pending_ || column_ == 0 ? column_ : column_ - 1;
                pending_ = false;
            } else {
                if (pending_) {
                    At(row_).wrapped = true;
                    column_ = 0;
                    pending_ = false;
                    Down();
                }
                Row(row_)[static_cast<std::size_t>(column_)] = ch;
                if (column_ == width_ - 1) {
                    pending_ = true;
                } else {
                    ++column_;
                }
            }
        }
    }

    void SetSize(int width, int height, Resize how) {
        if (how == Resize::kRewrap && width != width_) {
            Rewrap(width);
        }
        width_ = width;
        for (auto& line : rows_) {
            line.text.resize(static_cast<std::size_t>(width_), ' ');
        }
        if (column_ >= width_) {
            column_ = width_ - 1;
            pending_ = false;
        }
        height_ = height;
        top_ = std::min(top_, row_);
        top_ = std::max(top_, row_ - height_ + 1);
    }

    // The buffer's rows, trailing blanks removed.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const auto& line : rows_) {
            std::string row = line.text;
            row.erase(row.find_last_not_of(' ') + 1);
            rows.push_back(row);
        }
        return rows;
    }
    int Row() const { return row_; }
    int Column() const { return column_; }
    bool Pending() const { return pending_; }
    int Top() const { return top_; }

private:
    struct Line {
        std::string text;
        bool wrapped = false;
    };

    Line& At(int row) { return rows_[static_cast<std::size_t>(row)]; }
    std::string& Row(int row) {
        std::string& text = At(row).text;
        text.resize(static_cast<std::size_t>(width_), ' ');
        return text;
    }
    void Down() {
        ++row_;
        if (row_ == static_cast<int>(rows_.size())) {
            rows_.emplace_back();
        }
        top_ = std::max(top_, row_ - height_ + 1);
    }
    void Control(char command, int count) {
        if (command == 'm') {
            return;
        }
        pending_ = false;
        if (command == 'A') {
            row_ = std::max(row_ - count, top_);  // stops at the window's top
        } else if (command == 'B') {
            row_ = std::min(row_ + count, static_cast<int>(rows_.size()) - 1);
        } else if (command == 'G') {
            column_ = count - 1;
        } else if (command == 'K') {
            Row(row_).assign(static_cast<std::size_t>(width_), ' ');
            At(row_).wrapped = false;
        } else if (command == 'J') {
            std::string& row = Row(row_);
            row.replace(static_cast<std::size_t>(column_), std::string::npos,
                        static_cast<std::size_t>(width_ - column_), ' ');
            At(row_).wrapped = At(row_).wrapped && column_ > 0;
            // As tmux does: from a row's start, the row above no longer runs on into it.
            if (column_ == 0 && row_ > 0) {
                At(row_ - 1).wrapped = false;
            }
            rows_.resize(static_cast<std::size_t>(row_) + 1);
        }
    }
    // The rows that wrapped are one line again, wrapped anew at the width; the cursor
    // keeps its place in its line.
    void Rewrap(int width) {
        std::vector<std::string> lines;
        int cursorLine = 0;
        int cursorOffset = 0;
        for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
            if (row == 0 || !At(row - 1).wrapped) {
                lines.emplace_back();
            }
            if (row == row_) {
                cursorLine = static_cast<int>(lines.size()) - 1;
                cursorOffset = static_cast<int>(lines.back().size()) + column_ + (pending_ ? 1 : 0);
            }
            lines.back() += Row(row);
        }
        rows_.clear();
        for (int index = 0; index < static_cast<int>(lines.size()); ++index) {
            std::string text = lines[static_cast<std::size_t>(index)];
            text.erase(text.find_last_not_of(' ') + 1);
            const int used =
                std::max(static_cast<int>(text.size()), index == cursorLine ? cursorOffset : 0);
            const int count = std::max(1, (used + width - 1) / width);
            const int first = static_cast<int>(rows_.size());
            if (index == cursorLine) {
                // Just past the line's last cell at a row's end, the wrap is pending.
                pending_ = cursorOffset > 0 && cursorOffset % width == 0 &&
                           cursorOffset >= static_cast<int>(text.size());
                row_ = first + cursorOffset / width - (pending_ ? 1 : 0);
                column_ = pending_ ? width - 1 : cursorOffset % width;
            }
            for (int part = 0; part < count; ++part) {
                Line line;
                if (text.size() > static_cast<std::size_t>(part * width)) {
                    line.text = text.substr(static_cast<std::size_t>(part * width),
                                            static_cast<std::size_t>(width));
                }
                line.wrapped = part + 1 < count;
                rows_.push_back(line);
            }
        }
    }

    int width_;
    int height_;
    std::vector<Line> rows_;
    int row_ = 0;
    int column_ = 0;
    bool pending_ = false;
    int top_ = 0;
};
