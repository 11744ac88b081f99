// treesteps NEWICK-FILE [--png OUTPUT-DIRECTORY]
// Loads every tree of a Newick file into a tree box and shows them one at a
// time: "Previous" and "Next" step through the trees, "Consensus" shows the
// consensus of all of them, condensed at the threshold of the spin box (in
// percent of the trees). With --png nothing is shown: the tool writes
// tree-1.png .. tree-N.png and consensus.png (at 50 percent) into the
// directory and exits. Developer tool, not part of the program.

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>
#include <iostream>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/graphics/PictureExport.h"
#include "platform/ui/Application.h"
#include "tree/view/NTreeBox.h"

namespace {

void Show(TTreeBox& box, int index) {
  box.SetTreeIndex(index);
  box.RefreshTree();
}

int WriteImages(TTreeBox& box, const std::string& folder) {
  for (int i = 1; i <= box.NoOfTrees(); ++i) {
    Show(box, i);
    SavePicturePng(box.TreePicture(), folder + "/tree-" + std::to_string(i) + ".png");
  }
  if (box.isConsensus()) {
    Show(box, 0);
    SavePicturePng(box.TreePicture(), folder + "/consensus.png");
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--png")) {
    std::cerr << "usage: treesteps NEWICK-FILE [--png OUTPUT-DIRECTORY]\n";
    return 2;
  }
  QApplication app(argc, argv);
  try {
    TTreeBox box;
    if (!box.ImportFromNewickStandard(argv[1])) {
      std::cerr << "treesteps: no trees read from " << argv[1] << "\n";
      return 1;
    }
    box.RefreshTree();
    if (argc == 4) return WriteImages(box, argv[3]);

    QWidget window;
    window.setWindowTitle(QString::fromStdString("treesteps - " + std::string(argv[1])));
    auto* previous = new QPushButton("Previous");
    auto* next = new QPushButton("Next");
    auto* consensus = new QPushButton("Consensus");
    consensus->setEnabled(box.isConsensus());
    auto* threshold = new QSpinBox;
    threshold->setRange(0, 100);
    threshold->setSuffix(" %");
    threshold->setValue(box.ConsensusValue());
    auto* where = new QLabel;
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(previous), static_cast<QWidget*>(next),
                       static_cast<QWidget*>(consensus), static_cast<QWidget*>(threshold),
                       static_cast<QWidget*>(where)})
      buttons->addWidget(w);
    buttons->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(&box);
    scroll->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(&window);
    layout->addLayout(buttons);
    layout->addWidget(scroll);

    auto update = [&] {
      const int i = box.TreeIndex();
      where->setText(i == 0 ? QString("Consensus of %1 trees").arg(box.NoOfTrees())
                            : QString("Tree %1 of %2").arg(i).arg(box.NoOfTrees()));
      previous->setEnabled(i > 1);
      next->setEnabled(i >= 1 && i < box.NoOfTrees());
    };
    QObject::connect(previous, &QPushButton::clicked, [&] {
      RunGuarded([&] { Show(box, box.TreeIndex() - 1); });
      update();
    });
    QObject::connect(next, &QPushButton::clicked, [&] {
      RunGuarded([&] { Show(box, box.TreeIndex() + 1); });
      update();
    });
    QObject::connect(consensus, &QPushButton::clicked, [&] {
      RunGuarded([&] { Show(box, box.TreeIndex() == 0 ? 1 : 0); });
      consensus->setText(box.TreeIndex() == 0 ? "Trees" : "Consensus");
      update();
    });
    QObject::connect(threshold, &QSpinBox::valueChanged, [&](int value) {
      RunGuarded([&] {
        box.SetConsensusValue(value);
        box.RefreshTree();
      });
    });
    update();
    window.resize(900, 700);
    window.show();
    const int result = app.exec();
    scroll->takeWidget();  // the box lives on the stack
    return result;
  } catch (const Exception& e) {
    std::cerr << "treesteps: " << e.Message() << "\n";
    return 1;
  }
}
