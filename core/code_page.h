#pragma once

#include <QByteArray>
#include <QString>

// The character set the display shows text in (PaginaCodigos). The usual one, 0, folds accented
// letters to plain ones and sends Windows-1252, which every display shows; 437, 850, 858, 860
// and 1252 send the text in that code page, for a display set to the same page.
class CodePage {
public:
    static constexpr int folding = 0;

    CodePage() = default;

    int number() const { return m_number; }
    // Whether accented letters are folded before anything else.
    bool folds() const { return m_number == folding; }

    // Why the text cannot be used, in the words the window shows beside the field; empty when it
    // can. Empty and 0 stand for folding.
    static QString problem(const QString& text);
    // Throws Failure naming the text and its problem.
    static CodePage parse(const QString& text);

    // The text as the page can show it: a character the page lacks becomes `plain(c)` when the
    // page has that, and "?" otherwise.
    QString fitted(const QString& text, QChar (*plain)(QChar)) const;
    // One byte per character; a character the page lacks becomes "?".
    QByteArray encode(const QString& text) const;
    QString decode(const QByteArray& bytes) const;

    friend bool operator==(const CodePage&, const CodePage&) = default;

private:
    explicit CodePage(int number) : m_number(number) {}

    int m_number = folding;
};
