#include "dialogs.h"

#include "searchdialog.h"
#include "framework/data/clientdataset.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace framework {

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QString captionOf(int kind)
{
    switch (kind) {
    case mtWarning: return QStringLiteral("Atenção");
    case mtError: return QStringLiteral("Erro");
    case mtConfirmation: return QStringLiteral("Confirmação");
    default: return QStringLiteral("Informação");
    }
}

QMessageBox::Icon iconOf(int kind)
{
    switch (kind) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtConfirmation: return QMessageBox::Question;
    case mtInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// "Descrição(*.x)|*.x|Outra|*.y" -> "Descrição (*.x);;Outra (*.y)"; the selected one by index.
QStringList qtFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const int paren = int(label.indexOf(QLatin1Char('(')));
        if (paren >= 0)
            label = label.left(paren).trimmed();
        result << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return result;
}

QString runFileDialog(const FileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(dialogParent(), request.title, request.fileName);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = qtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(qBound(0, request.filterIndex - 1, int(filters.size()) - 1)));
    }
    dialog.setDefaultSuffix(request.defaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

// A small window with the progress text; it does not take the focus.
struct QtDialogs::Progress {
    QWidget window;
    QLabel* label;
    Progress() : label(new QLabel(&window))
    {
        window.setObjectName(QStringLiteral("frmShowAvi"));
        window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window.setAttribute(Qt::WA_ShowWithoutActivating);
        auto* layout = new QVBoxLayout(&window);
        label->setMinimumWidth(320);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
};

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

int QtDialogs::showMessage(const MessageRequest& request)
{
    QMessageBox box(iconOf(request.kind), captionOf(request.kind), request.text, QMessageBox::NoButton,
                    dialogParent());
    struct Choice { int button; QMessageBox::StandardButton standard; const char* text; int result; };
    static const Choice choices[] = {
        {mbYes, QMessageBox::Yes, "Sim", mrYes},
        {mbNo, QMessageBox::No, "Não", mrNo},
        {mbOK, QMessageBox::Ok, "OK", mrOk},
        {mbCancel, QMessageBox::Cancel, "Cancelar", mrCancel},
    };
    const MsgDlgButtons buttons = request.buttons ? request.buttons : mbOK;
    int offered = 0;
    for (const Choice& choice : choices) {
        if (!(buttons & choice.button))
            continue;
        const QString caption = request.captions.value(offered++);
        box.addButton(choice.standard)->setText(caption.isEmpty() ? QString::fromUtf8(choice.text) : caption);
    }
    const int pressed = box.exec();
    for (const Choice& choice : choices) {
        if (pressed == choice.standard)
            return choice.result;
    }
    return (buttons & mbCancel) ? mrCancel : mrNone;
}

std::optional<QVector<int>> QtDialogs::chooseRows(const SearchRequest& request)
{
    SearchDialog dialog(request, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenRows();
}

std::optional<RowSearchAnswer> QtDialogs::rowSearch(const RowSearchRequest& request)
{
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("frmProcura"));
    dialog.setWindowTitle(QStringLiteral("Procurar"));
    auto* column = new QComboBox(&dialog);
    for (Field* field : searchFields(*request.dataSet, request.fields))
        column->addItem(field->DisplayLabel(), field->FieldName());
    auto* text = new QLineEdit(&dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("Coluna:"), column);
    layout->addRow(QStringLiteral("Procurar por:"), text);
    layout->addRow(buttons);
    text->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return RowSearchAnswer{column->currentData().toString(), text->text()};
}

QString QtDialogs::openFileName(const FileRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(const FileRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, dialogParent(), QStringLiteral("Cor"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<Credentials> QtDialogs::askAuthorization(const AuthorizationRequest& request)
{
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("frmAutoriza"));
    const bool login = request.kind == 0; // the operator's own login at the application server
    dialog.setWindowTitle(login ? QStringLiteral("Entrada no Servidor de Aplicação") : QStringLiteral("Autorização do Supervisor"));
    auto* user = new QLineEdit(login ? request.operation : QString(), &dialog);
    user->setObjectName(QStringLiteral("edtUsuario"));
    auto* password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("edtSenha"));
    password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(new QLabel(request.text.isEmpty() ? request.operation : request.text, &dialog));
    layout->addRow(login ? QStringLiteral("Operador:") : QStringLiteral("Supervisor:"), user);
    layout->addRow(QStringLiteral("Senha:"), password);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{user->text(), password->text()};
}

void QtDialogs::showProgress(QWidget* form, const QString& text)
{
    if (!m_progress)
        m_progress = std::make_unique<Progress>();
    m_progress->label->setText(text);
    m_progress->window.adjustSize();
    if (QWidget* anchor = form ? form->window() : dialogParent())
        m_progress->window.move(anchor->geometry().center() - m_progress->window.rect().center());
    m_progress->window.show();
    // The calls that follow block the event loop: paint the text now.
    m_progress->window.repaint();
}

void QtDialogs::hideProgress()
{
    if (m_progress)
        m_progress->window.hide();
}

} // namespace framework
