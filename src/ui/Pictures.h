#pragma once

#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

// The program's own pictures, shipped inside it.
namespace Pictures {

QPixmap Logo();                  // 143 × 150
QPixmap IllustrationRoles();     // 756 × 310
QPixmap IllustrationPaiements(); // 756 × 310

// A picture box: the picture scaled down into the box with its proportions
// kept, drawn at the box's top-left corner.
QLabel* MakePictureBox(QWidget* parent, const QString& name, const QRect& box, const QPixmap& picture);

} // namespace Pictures
