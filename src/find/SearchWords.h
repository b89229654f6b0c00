#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The words the description search knows: the endings a Persian word may take, and the
// groups of words that mean one thing. Read from the lists that ship inside the program
// (words/suffixes.txt, words/variants.txt), folded as the descriptions are.
class SearchWords
{
public:
    // One way of writing a word of a group: its parts (a form of two words has two).
    using Form = QStringList;
    struct Group
    {
        QList<Form> persian; // found in the descriptions
        QStringList latin;   // looked for in the function names, lower case
    };

    // The lists given as text, one entry a line ("#" starts a comment line): endings, and
    // groups with their forms separated by "|". A group of one form says nothing and is
    // dropped; a word in two groups stays in the first.
    SearchWords(const QString &suffixes, const QString &variants);

    // The lists that ship with the program.
    static const SearchWords &shipped();

    // Whether the folded text is one ending or several in a row (the empty text is none).
    bool isSuffixChain(QStringView rest) const;
    // Whether the folded word is one of the endings.
    bool isSuffix(QStringView word) const;
    // The group of the folded word (its parts written together), or null.
    const Group *groupOf(const QString &joined) const;

private:
    QList<QString> m_suffixes; // longest first
    QList<Group> m_groups;
    QHash<QString, qsizetype> m_groupOf;
};
