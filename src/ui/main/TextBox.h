#pragma once

#include <QPlainTextEdit>

// A read-only multi-line text box that gives back exactly the text it was given.
// QPlainTextEdit turns CR LF into paragraphs and would hand back bare line feeds; the
// declaration layout and the module export need the Windows line breaks kept as they are.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    // For Persian prose: every paragraph right to left and right-aligned, whatever its
    // first word, with each stretch of Latin code in it (names, &H numbers, a bracketed
    // parameter list) kept in its own left-to-right order. Only the shown text changes.
    void setPersianProse();

    // The text as shown in a Persian prose box: each Latin stretch wrapped in a
    // left-to-right isolate (U+2066 ... U+2069).
    static QString isolateLatinRuns(const QString &text);

    // Scrolls the line (from 0, as setText breaks them) to the top of the box, or as near
    // as the end of the text lets it; the text cursor goes to its start.
    void revealLine(qsizetype line);

protected:
    bool event(QEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    QString m_text;
    bool m_persianProse = false;
};
