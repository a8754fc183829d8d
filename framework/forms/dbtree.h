#pragma once

#include "dbtreemodel.h"
#include "framework/core/dbpicture.h"
#include "framework/data/datasource.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QTreeView>
#include <functional>

namespace framework {

class Field;

// A node of the tree as the events see it.
struct TTreeNode {
    QString code;
    QString aux;        // the auxiliary code field's value (a dish's origin)
    int level = 0;      // level the code reaches in the picture
    int position = -1;  // the node's row in the dataset's current order
    bool lastLevel = false;
    bool isNull() const { return position < 0; }
};

// The code tree over a dataset: one node per row, placed by its code under the code picture
// (a code's parent is the code cut to the previous level's accumulated width; a code whose
// parent is missing hangs at the root). The selected node and the dataset's current record
// follow each other: choosing a node moves the dataset to its row, moving the dataset selects
// its node. OnChanging may refuse a choice of the user (the selection stays where it was).
class TDBTree : public QTreeView {
    Q_OBJECT
public:
    using ChangeEvent = std::function<void(TDBTree& tree, const TTreeNode& node)>;
    using ChangingEvent = std::function<void(TDBTree& tree, const TTreeNode& node, bool& allowChange)>;
    using ImageIndexEvent = std::function<int(TDBTree& tree, const TTreeNode& node)>; // -1: no image
    using TextEvent = std::function<QString(TDBTree& tree, const TTreeNode& node)>;
    using KeyEvent = std::function<void(TDBTree& tree, int& key, Qt::KeyboardModifiers shift)>; // key 0: swallowed

    explicit TDBTree(QWidget* parent = nullptr, const QString& name = {});
    ~TDBTree() override;

    DataSource* dataSource() const { return m_source; }
    void setDataSource(DataSource* source);
    ClientDataSet* DataSet() const; // null unless the source has an open dataset

    // The fields: code (placing the node), name (its text: "code - name") and an auxiliary code.
    const QString& FieldCode() const { return m_fieldCode; }
    void setFieldCode(const QString& name);
    const QString& FieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);
    const QString& FieldAux() const { return m_fieldAux; }
    void setFieldAux(const QString& name);
    const TDBPicture& Picture() const { return m_picture; }
    void setPicture(const TDBPicture& picture);

    // State images by OnGetImageIndex's answer.
    void setStateImages(const QList<QIcon>& images);

    TTreeNode Selected() const;
    QString SelectedCode() const { return Selected().code; }
    bool HasChildren(const QString& code) const;
    int NodeCount() const;
    QString NodeText(const TTreeNode& node) const;
    // Selects the node of a code as the user would (OnChanging may refuse); false when refused
    // or when no node has that code.
    bool setSelectedCode(const QString& code);
    // Rebuilds the nodes from the dataset and selects its current record's node.
    void Resync();

    ChangeEvent OnChange;
    ChangingEvent OnChanging;
    ImageIndexEvent OnGetImageIndex;
    TextEvent OnGetText;
    KeyEvent OnKeyDown;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void rebuild();
    void rowValuesChanged(int position);
    void syncSelection();
    void setCurrentQuietly(const QModelIndex& index);
    TTreeNode treeNode(const DBTreeModel::Node& node) const;
    void fireChange();
    void keepSelectionOnCurrent();
    Field* field(const QString& name) const;

    DBTreeModel* m_model;
    QPointer<DataSource> m_source;
    QString m_fieldCode;
    QString m_fieldName;
    QString m_fieldAux;
    TDBPicture m_picture;
    QList<QIcon> m_stateImages;
    QSet<QString> m_expanded; // kept across rebuilds
    bool m_syncing = false;
    bool m_refused = false; // the mouse chose a node OnChanging refused: it must not stay selected
};

} // namespace framework
