#pragma once

// The recipe levels' pages driven as a user on the demo database.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/maskedit.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/paginareceita.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>

// Branch 0002 (a hospital) locks its revised recipes (IDBLOALTRELO "S") and types net quantities;
// its rice (2010010001) has a branch, a pasty-diet service (00002) and a hospital menu-type recipe,
// and is on the branch's lunch menu. The nutritionist's group may not change revised recipes.
class RecipeLevels : public RecipeFormTest {
protected:
    using State = framework::ClientDataSet::State;

    void openForm(const char* branch = "0002")
    {
        framework::hostContext().FiliProc = QString::fromLatin1(branch);
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus(); // leaving the branch panel loads the dish tree
        QApplication::processEvents();
    }
    void showLevel(recipe::Level level, const QString& dish, bool focusGrid = true)
    {
        ASSERT_TRUE(form->dbaPadrao->setSelectedCode(dish));
        form->Habilita_Pagina(true);
        const recipe::LevelFields& fields = recipe::levelFields(level);
        form->pgcPadrao->setCurrentWidget(form->findChild<QWidget*>(fields.page));
        QApplication::processEvents();
        page = &form->PaginaNivel(level);
        list = &page->lista();
        grid = &page->grade();
        if (!focusGrid)
            return;
        grid->setFocus();
        QApplication::processEvents();
    }
    void showBranch(const QString& dish, const char* branch = "0002")
    {
        form->medCdFilial->setText(QString::fromLatin1(branch));
        showLevel(recipe::Level::Filial, dish);
    }
    void showService(const QString& dish)
    {
        form->medCdFiliServ->setText(QStringLiteral("0002"));
        form->medCdServico->setText(QStringLiteral("00002"));
        showLevel(recipe::Level::Servico, dish);
    }
    void showMenuType(const QString& dish, const char* menuType, bool focusGrid = true)
    {
        form->medCdTpCard->setText(QString::fromLatin1(menuType));
        showLevel(recipe::Level::TpCard, dish, focusGrid);
    }
    void group(const char* name)
    {
        exec(QStringLiteral("UPDATE USUARIO SET CDGRUPOUSUA = %1 WHERE CDOPERADOR = 'NUTRI'")
                 .arg(name ? QStringLiteral("'%1'").arg(QLatin1String(name)) : QStringLiteral("NULL")));
    }
    QString count(const QString& sql) { return value(sql).toString(); }
    void goTo(const QString& field)
    {
        const int column = framework::IndiceCol(*grid, field);
        ASSERT_GE(column, 0) << field.toStdString();
        grid->setCurrentIndex(grid->model()->index(list->currentPosition(), column));
        QApplication::processEvents();
    }
    void type(const QString& field, const QString& text)
    {
        goTo(field);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid->InplaceEditor());
        ASSERT_NE(editor, nullptr) << field.toStdString();
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Home);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    // Types over what an edit of the page's dish data holds.
    void typeInto(const char* name, const QString& text)
    {
        auto* edit = form->findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus();
        QApplication::processEvents();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QApplication::processEvents();
    }

    TfrmReceitaPadrao* form = nullptr;
    recipe::PaginaReceita* page = nullptr;
    framework::ClientDataSet* list = nullptr;
    framework::TDBGrid* grid = nullptr;
};

