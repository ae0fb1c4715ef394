#pragma once

#include <QLabel>

namespace brevo::app {

// A label for a path: when it is too narrow, the middle of the path gives way to "…" so that
// both the start and the file name stay; the whole path is always in the tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString full_;
};

}  // namespace brevo::app
