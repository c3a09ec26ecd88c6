#include "ui/Pictures.h"

#include <QLabel>

static void initPictureResources()
{
    // The pictures live in a static library: their resources must be registered by hand.
    static const bool done = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)done;
}

namespace Pictures {

static QPixmap load(const char* name)
{
    initPictureResources();
    return QPixmap(QStringLiteral(":/pictures/") + QLatin1String(name));
}

QPixmap Logo()
{
    return load("logo.jpg");
}

QPixmap IllustrationRoles()
{
    return load("illustration-roles.jpg");
}

QPixmap IllustrationPaiements()
{
    return load("illustration-paiements.jpg");
}

QLabel* MakePictureBox(QWidget* parent, const QString& name, const QRect& box, const QPixmap& picture)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(box);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (!picture.isNull()) {
        const bool fits = picture.width() <= box.width() && picture.height() <= box.height();
        label->setPixmap(fits ? picture
                              : picture.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return label;
}

} // namespace Pictures
