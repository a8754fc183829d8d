#include "dbimage.h"

#include "framework/abort.h"

#include <QFile>
#include <QPainter>

namespace framework {

TDBImage::TDBImage(QWidget* parent, const QString& name) : QWidget(parent), m_link(new FieldDataLink(this))
{
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    m_link->onDataChange = [this] { showField(); };
}

void TDBImage::setFit(bool fit)
{
    m_fit = fit;
    update();
}

void TDBImage::showField()
{
    const Field* f = m_link->field();
    m_image = f ? QImage::fromData(f->AsBlob()) : QImage();
    update();
}

void TDBImage::LoadFromFile(const QString& path)
{
    if (m_readOnly || !m_link->canModify())
        throw Error(QStringLiteral("A imagem não pode ser alterada."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(path));
    const QByteArray bytes = file.readAll();
    if (QImage::fromData(bytes).isNull())
        throw Error(QStringLiteral("O arquivo \"%1\" não contém uma imagem válida.").arg(path));
    m_link->edit();
    m_link->field()->setAsBlob(bytes);
}

void TDBImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (m_image.isNull())
        return;
    QSize size = m_image.size();
    if (m_fit)
        size.scale(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
}

} // namespace framework
