#include "app/KestovaForm.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Kestova");
  resize(800, 600);
}
