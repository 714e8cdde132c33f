#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// One of the single-byte code pages the program carries itself, the same on every system:
// Windows-1252 and the DOS pages 437, 850, 858 and 860. Bytes 0x00-0x7F are ASCII; each byte of
// the upper half stands for the code point its table gives.
class CodePageTable {
public:
    using UpperHalf = std::array<char16_t, 128>;

    constexpr explicit CodePageTable(const UpperHalf& upperHalf) : m_upperHalf(upperHalf) {}

    // The table of page 437, 850, 858, 860 or 1252; nullptr for any other number.
    static const CodePageTable* of(int number);

    bool holds(char32_t codePoint) const { return byteOf(codePoint).has_value(); }
    QString decode(const QByteArray& bytes) const;
    // One byte per code point; a code point the page lacks becomes "?".
    QByteArray encode(const QString& text) const;

private:
    std::optional<char> byteOf(char32_t codePoint) const;

    UpperHalf m_upperHalf;
};
