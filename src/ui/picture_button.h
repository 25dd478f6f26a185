#pragma once
// A button that shows a picture, with a tooltip and a status-bar message.
//
// When the picture file is missing the button still shows something a person can read (its
// tooltip text, over a standard icon if it has room), so the station stays usable on an
// installation whose pictures were not copied.

#include <QToolButton>
#include <string_view>

namespace blend {

class PictureButton : public QToolButton {
  Q_OBJECT
 public:
  PictureButton(std::string_view picturePath, const QString& tooltip, const QString& statusTip,
                QWidget* parent = nullptr);

  bool hasPicture() const { return hasPicture_; }

 private:
  bool hasPicture_ = false;
};

}  // namespace blend
