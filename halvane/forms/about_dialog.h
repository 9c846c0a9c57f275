// About Halvane: the version text above the company picture from
// "CompanyLogo.bmp", the dialog sized around the picture.
#pragma once

#include <QDialog>
#include <QRect>
#include <memory>

namespace Ui {
class CAboutDialog;
}

class CAboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    ~CAboutDialog() override;

    bool HasPicture() const;
    QRect PictureGeometry() const;
    QRect VersionGeometry() const;

    // The layout rule: the dialog's new rectangle, and the picture's and the
    // version text's positions, from the dialog's, the picture's and the
    // text's sizes.
    struct Layout {
        QRect dialog;
        QPoint picture;
        QPoint version;
    };
    static Layout Arrange(const QRect& dialog, const QRect& picture, const QSize& version);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<Ui::CAboutDialog> m_ui;
};
