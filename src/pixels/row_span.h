// Rows of a picture that a stage changed, as it hands the picture on.
#pragma once

// Rows first..end-1; empty when end <= first.
struct RowSpan {
    int first = 0;
    int end = 0;

    bool Empty() const { return end <= first; }
    // The smallest span holding both.
    RowSpan With(RowSpan other) const {
        if (other.Empty()) return *this;
        if (Empty()) return other;
        return {first < other.first ? first : other.first, end > other.end ? end : other.end};
    }
};
