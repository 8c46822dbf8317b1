#pragma once

#include "settings/SettingsWriter.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace bw {

// The settings window: database server place, this computer's address, notification switches, the two
// timer intervals and the language. The controls edit settings() directly (those are the live values);
// "Сохранить" proves the server first and only then writes settings.ini and applies the values.
class TFormSettings final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormSettings)

public:
    explicit TFormSettings(QWidget *parent = nullptr);

    QGroupBox *GroupBox1;       // "Основные настройки"
    QGroupBox *GroupBox4;       // "О программе"
    QCheckBox *CheckBox1;       // CB1 "Отключить звуки"
    QCheckBox *CheckBox2;       // CB2
    QCheckBox *CheckBox3;       // CB3
    QCheckBox *CheckBox4;       // CB4 "Звук при получении новой заявки"
    QCheckBox *CheckBox5;       // CB5
    QCheckBox *CheckBox6;       // CB6 "Иконка мигает, пока есть заявки, ожидающие очереди"
    QCheckBox *CheckBox7;       // CB7 "Уведомление по e-mail"
    QCheckBox *CheckBox8;       // CB8
    QCheckBox *CheckBox9;       // CB9 "Динамический"
    QToolButton *SpeedButton2;  // e-mail settings
    QToolButton *SpeedButton1;  // help
    QSlider *TrackBar1;         // INT
    QSlider *TrackBar2;         // INT2
    QLabel *TrackValue1;        // value under the thumb of TrackBar1
    QLabel *TrackValue2;
    QRadioButton *RadioButton1; // RB1 "Сервер на другом компьютере"
    QRadioButton *RadioButton2; // RB2 "Сервер на этом компьютере" (hidden)
    QComboBox *ComboBox2;       // ED4, editable, this computer's addresses
    QLineEdit *Edit3;           // ED3 server program
    QLineEdit *Edit1;           // ED1 SQL server
    QLineEdit *Edit2;           // ED2 database path
    QComboBox *ComboBox1;       // language names
    QLabel *Label1;             // "Место расположения SQL-сервера (IP-адрес):"
    QLabel *Label2;             // "Путь к базе данных:"
    QLabel *Label3;             // "Скорость мигания иконки, мсек.:"
    QLabel *Label4;             // "Язык:"
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label11;            // "Место расположения программы-сервера (IP-адрес):"
    QLabel *Label12;            // "Имя этого компьютера (IP-адрес):"
    QLabel *Label13;            // "Интервал времени проверки заявок, сек.:"
    QLabel *Image1;
    QPushButton *BitBtn1;       // "Сохранить"

    // File names behind the language names, at the same indexes.
    const QStringList &languageFiles() const { return m_languageFiles; }
    bool saved() const { return m_saved; }

    // Show: the controls from settings(), the host address on the first run, the language lists.
    void FormShow();
    void BitBtn1Click();
    // Closing without a save; on the first run it ends the program.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadFromSettings();
    void fillLanguages();
    void updateServerFields();
    bool testAndConnect();
    void refreshTray();
    bool endIfFirstRunUnsaved();

    QStringList m_languageFiles;
    bool m_saved = false;
    bool m_loading = false;
    bool m_saving = false;
};

TFormSettings &formSettings();

// Shows the settings window modally; true when it was closed by a successful save.
bool showSettingsWindow(QWidget *parent);

// Replaceable steps of the window (tests and the main window set them):
// ends the program when the first-run window is closed without a save (default: exits at once);
std::function<void()> &settingsTerminate();
// the requests workspace window as the settings file stores it (default: the values held in settings());
std::function<WorkspaceGeometry()> &settingsWorkspaceGeometry();
// opens the help page (default: ProgramDir/help/index.html with the desktop's viewer);
std::function<void()> &settingsOpenHelp();
// after the language has been applied: the report engine's own texts (default: nothing).
std::function<void(const QString &languageFile)> &settingsReportLanguage();

} // namespace bw
