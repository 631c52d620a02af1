// The two small dialogs of the "History" window: the label dialog (a survey's site and note) and
// the comparison of a survey with the log now loaded, a table with its summary.
#pragma once

#include <QDialog>
#include <QString>

#include "desktop/comparison_table.h"

class QLineEdit;
class QTableWidget;

namespace klxr {

// "Label": two fields filled with the survey's site and note; OK keeps them, Cancel or Escape not.
class LabelDialog : public QDialog {
  Q_OBJECT

 public:
  LabelDialog(const QString& site, const QString& note, QWidget* owner);

  QString Site() const;
  QString Note() const;
  QLineEdit& SiteField() const { return *site_; }
  QLineEdit& NoteField() const { return *note_; }

 private:
  QLineEdit* site_;
  QLineEdit* note_;
};

// "Comparison": the table's title above it, its rows (worse ones tinted red, better ones green),
// the summary line and the units below it; Close, Enter or Escape end it.
class ComparisonDialog : public QDialog {
  Q_OBJECT

 public:
  ComparisonDialog(const ComparisonTable& table, QWidget* owner);

  QTableWidget& Table() const { return *table_; }

 private:
  QTableWidget* table_;
};

}  // namespace klxr
