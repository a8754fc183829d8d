#include "hostmodules.h"

#include "framework/abort.h"
#include "framework/ui/messages.h"
#include "hostdatabase.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSqlError>
#include <QSqlQuery>

namespace host {

namespace {

// GER02100: the code pictures of products and dishes in the general parameters.
void openPictureRegistration(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName("frmCadPicture");
    dialog.setWindowTitle("Máscaras de código");
    auto* form = new QFormLayout(&dialog);
    const QRegularExpression picture(R"(9+(\.9+)*)");
    auto* product = new QLineEdit(&dialog);
    auto* dish = new QLineEdit(&dialog);
    for (QLineEdit* edit : {product, dish})
        edit->setValidator(new QRegularExpressionValidator(picture, edit));
    product->setObjectName("edtPictProd");
    dish->setObjectName("edtPictPrat");
    QSqlDatabase database = QSqlDatabase::database(DatabaseConnection);
    QSqlQuery read(database);
    if (read.exec("SELECT CDPICTPROD, CDPICTPRAT FROM PARAMGERAL WHERE CDPARGERAL = '0001'") && read.next()) {
        product->setText(read.value(0).toString());
        dish->setText(read.value(1).toString());
    }
    form->addRow("Produto (ex.: 9.99.999.9999)", product);
    form->addRow("Prato (ex.: 9.99.999.9999)", dish);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;

    const bool exists = read.isValid();
    QSqlQuery write(database);
    write.prepare(exists ? "UPDATE PARAMGERAL SET CDPICTPROD = ?, CDPICTPRAT = ? WHERE CDPARGERAL = '0001'"
                         : "INSERT INTO PARAMGERAL (CDPICTPROD, CDPICTPRAT, CDPARGERAL) VALUES (?, ?, '0001')");
    write.addBindValue(product->text());
    write.addBindValue(dish->text());
    if (!write.exec())
        throw framework::Error(QStringLiteral("Não foi possível gravar as máscaras: %1").arg(write.lastError().text()));
    loadPictures();
}

} // namespace

void LoadBPL(const QString& module, const QVariantList&, QWidget* parent)
{
    if (module.compare("GER02100", Qt::CaseInsensitive) == 0)
        return openPictureRegistration(parent);
    throw framework::Error(QStringLiteral("O módulo %1 pertence ao sistema principal e não está disponível "
                                          "nesta instalação.").arg(module));
}

} // namespace host
