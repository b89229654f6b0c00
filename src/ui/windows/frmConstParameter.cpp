// The constants window's side that shows what a function's parameter takes.
#include "frmConst.h"

#include "ParameterTexts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>

QWidget *frmConst::createParameterBar()
{
    picParameter = new QWidget(this);
    picParameter->setObjectName(QStringLiteral("picParameter"));
    auto *row = new QHBoxLayout(picParameter);
    row->setContentsMargins(0, 0, 0, 0);
    lblParameter = new QLabel(picParameter);
    lblParameter->setObjectName(QStringLiteral("lblParameter"));
    lblParameter->setTextFormat(Qt::PlainText);
    lblParameter->setWordWrap(true);
    QFont bold = lblParameter->font();
    bold.setBold(true);
    lblParameter->setFont(bold);
    auto *choice = new QLabel(ParameterTexts::parameterChoice, picParameter);
    cboParameter = new QComboBox(picParameter);
    cboParameter->setObjectName(QStringLiteral("cboParameter"));
    choice->setBuddy(cboParameter);
    row->addWidget(lblParameter, 1);
    row->addWidget(choice);
    row->addWidget(cboParameter);
    connect(cboParameter, &QComboBox::currentIndexChanged, this, &frmConst::cboParameter_Click);
    picParameter->hide();
    return picParameter;
}

void frmConst::showParameter(const std::vector<ParameterFamily> &links, size_t shown)
{
    if (shown >= links.size())
        return;
    m_links = links;
    {
        const QSignalBlocker blockChoice(cboParameter);
        cboParameter->clear();
        for (const ParameterFamily &link : m_links)
            cboParameter->addItem(link.isResult() ? ParameterTexts::resultChoice : link.parameter);
        cboParameter->setCurrentIndex(-1);
    }
    // The choice is worth showing only where there is more than one.
    cboParameter->setVisible(m_links.size() > 1);
    cboParameter->setCurrentIndex(static_cast<int>(shown));
    picParameter->show();
}

void frmConst::cboParameter_Click(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_links.size())
        return;
    const ParameterFamily &link = m_links[static_cast<size_t>(index)];
    const ConstantFamily *family = m_finder.table().parameters.family(link.family);
    if (!family)
        return;
    QString text = link.isResult() ? ParameterTexts::resultOf.arg(link.function, link.family)
                                   : ParameterTexts::parameterOf.arg(link.parameter, link.function, link.family);
    if (!link.isResult())
        text += family->combines ? ParameterTexts::combinesSentence : ParameterTexts::singleSentence;
    // A right-to-left mark ahead: the line starts with Persian but names Latin words.
    lblParameter->setText(QChar(0x200F) + text);
    {
        const QSignalBlocker blockSearch(txtSearch);
        const QSignalBlocker blockFamily(cboFamily);
        txtSearch->clear();
        cboFamily->setCurrentIndex(0);
    }
    m_familyRows = m_finder.members(*family);
    refresh();
    lstConst->setFocus();
}

void frmConst::leaveParameter()
{
    m_familyRows.reset();
    picParameter->hide();
}
