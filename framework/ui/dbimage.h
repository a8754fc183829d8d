#pragma once

#include "datalink.h"

#include <QImage>
#include <QWidget>

namespace framework {

// A picture over a blob field holding an image file's bytes (JPEG, BMP, PNG; stored unchanged).
// Fit (shrink and zoom to fit, keeping the proportions) or the picture at its own size,
// centred. Without a picture, or with bytes that are no image, the control is blank.
class TDBImage : public QWidget {
    Q_OBJECT
public:
    explicit TDBImage(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Fit() const { return m_fit; }
    void setFit(bool fit);

    const QImage& image() const { return m_image; }
    // Stores a file's bytes into the field, putting a browsing dataset into edit. Throws
    // framework::Error when the file cannot be read or is no image, or when the control is
    // read-only or has no field to write.
    void LoadFromFile(const QString& path);

    QSize sizeHint() const override { return {200, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showField();

    FieldDataLink* m_link;
    QImage m_image;
    bool m_readOnly = false;
    bool m_fit = false;
};

using TEDBImage = TDBImage;

} // namespace framework
