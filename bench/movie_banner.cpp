// SPDX-License-Identifier: MIT
// The peer of the settings window's banner: a QLabel of the banner's size playing GIF files
// through QMovie, alone in a plain window, nothing of ours around it.
//   movie_banner FILE                  plays FILE until ended
//   movie_banner FIRST FILE FILE...    plays FIRST, then every 5 s the next FILE, round and
//                                      round, as the settings window turns its banners
#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FIRST [FILE...]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QStringList files;  // the turn, after the first
    for (int i = 2; i < argc; ++i) {
        files << QString::fromLocal8Bit(argv[i]);
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("movie_banner"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(&window);
    label->setFixedSize(644, 78);
    layout->addWidget(label);
    QMovie movie(QString::fromLocal8Bit(argv[1]));
    if (!movie.isValid()) {
        std::fprintf(stderr, "%s: not a movie\n", argv[1]);
        return 1;
    }
    label->setMovie(&movie);
    movie.start();
    QTimer turn;
    qsizetype next = 0;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        movie.stop();
        movie.setFileName(files.at(next));
        movie.start();
        next = (next + 1) % files.size();
    });
    if (!files.isEmpty()) {
        turn.start(5000);
    }
    window.show();
    return QApplication::exec();
}
