// bdlogic: brings the memory of a BD Logic or Paradigm Link meter into the host diary as one import file.
#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
