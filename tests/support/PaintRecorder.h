#pragma once
// Records what a widget and every widget inside it are asked to repaint, in the outer widget's coordinates,
// and reads back what its window shows: for tests that pin how little a change redraws and that what is
// left on screen matches a fresh drawing.

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

class PaintRecorder : public QObject {
public:
    // Watches `root` and the widgets inside it now.
    explicit PaintRecorder(QWidget& root) : m_root(&root) {
        root.installEventFilter(this);
        for (QWidget* child : root.findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }

    // Delivers the repaints asked for so far.
    static void flush() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // Everything repainted since the last clear(), and how often one widget was.
    const QRegion& region() const { return m_region; }
    int paintsOf(const QWidget* widget) const { return m_paints.value(widget); }
    int paints() const { return m_total; }
    void clear() {
        m_region = QRegion();
        m_paints.clear();
        m_total = 0;
    }

    // The pixels repainted, counted once however many widgets painted them.
    static qint64 area(const QRegion& region) {
        qint64 sum = 0;
        for (const QRect& rect : region) {
            sum += qint64(rect.width()) * rect.height();
        }
        return sum;
    }

    // What the window holding `widget` shows now, cut to the widget: the pixels its repaints left there, not
    // a fresh drawing as grab() would make.
    static QImage onScreen(QWidget& widget) {
        QWidget* window = widget.window();
        const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
        return shown.copy(QRect(widget.mapTo(window, QPoint(0, 0)), widget.size()))
            .convertToFormat(QImage::Format_RGB32);
    }

    // The largest difference of one channel between two pictures of one size; 255 when the sizes differ.
    static int largestDifference(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) {
            return 255;
        }
        int largest = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            }
        }
        return largest;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_root) {
            auto* widget = static_cast<QWidget*>(watched);
            const QPoint offset = widget == m_root ? QPoint() : widget->mapTo(m_root, QPoint(0, 0));
            m_region += static_cast<QPaintEvent*>(event)->region().translated(offset);
            ++m_paints[widget];
            ++m_total;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_root;
    QRegion m_region;
    QHash<const QWidget*, int> m_paints;
    int m_total = 0;
};
