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

private:
    QString m_text;
};
