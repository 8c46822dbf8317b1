#include "i18n/LanguageKeys.h"

#include "i18n/Catalogue.h"

#include <algorithm>
#include <array>

namespace bw {

namespace {

// Window sections, one per window, each key in the order it is applied.
const WindowKey kMainWindow[] = {
    {"Caption", "", TextRole::WindowCaption, "Задачи"},
    {"Button1", "SpeedButton1", TextRole::Text, "Справочники"},
    {"Button2", "SpeedButton2", TextRole::Text, "Информация по заявкам"},
    {"Button3", "SpeedButton3", TextRole::Text, "Настройки сервера"},
    {"Button4", "SpeedButton4", TextRole::Text, "Выход из программы"},
};

const WindowKey kAddContact[] = {
    {"Caption", "", TextRole::WindowCaption, "Новый отдел/группа"},
    {"GB", "GroupBox1", TextRole::Text, "Информация об отделе/группе"},
    {"Lab1", "Label9", TextRole::Text, "Наименование отдела/группы:"},
    {"Lab2", "Label1", TextRole::Text, "Начальник отдела/группы:"},
    {"But", "BitBtn1", TextRole::Text, "Сохранить"},
};

const WindowKey kAddOther[] = {
    {"Caption", "", TextRole::WindowCaption, "Новая запись"},
    {"GB", "GroupBox1", TextRole::Text, "Информация об отделе/группе"},
    {"Lab1", "Label9", TextRole::Text, "Наименование отдела/группы:"},
    {"But", "BitBtn1", TextRole::Text, "Сохранить"},
};

const WindowKey kCalendar[] = {
    {"Caption", "", TextRole::WindowCaption, "Период поиска"},
    {"GB", "GroupBox1", TextRole::Text, "Период поиска"},
    {"Lab1", "Label1", TextRole::Text, "Дата начала:"},
    {"Lab2", "Label2", TextRole::Text, "Дата окончания:"},
    {"But", "BitBtn1", TextRole::Text, "Сохранить"},
};

const WindowKey kCheckPrint[] = {
    {"Caption", "", TextRole::WindowCaption, "Печать заявок"},
    {"GB", "GroupBox1", TextRole::Text, "Выберите отчет для печати"},
    {"RB1", "RadioButton1", TextRole::Text, "Дата и время, группа, название, уточнение, статус, дата и время изменения"},
    {"RB2", "RadioButton2", TextRole::Text, "Дата и время, группа, название, уточнение, статус, исполнитель"},
    {"RB3", "RadioButton3", TextRole::Text, "Дата и время, группа, уточнение, исполнитель, статус, комментарий"},
    {"RB4", "RadioButton4", TextRole::Text, "Дата и время, группа, уточнение, статус, дата и время изменения"},
    {"RB5", "RadioButton5", TextRole::Text, "Дата и время, группа, уточнение, контакт, статус"},
    {"RB6", "RadioButton6", TextRole::Text, "Создать свой отчет (с учетом фильтров)"},
    {"RB7", "RadioButton8", TextRole::Text, "Создать свой отчет (без учета фильтров)"},
    {"RB8", "RadioButton7", TextRole::Text, "Загрузить свой отчет"},
    {"But", "BitBtn4", TextRole::Text, "Сформировать"},
    {"HBut1", "SpeedButton1", TextRole::Hint, "Указать период поступления заявок"},
};

const WindowKey kCheckAdvPrint[] = {
    {"Caption", "", TextRole::WindowCaption, "Расширенный отчет"},
    {"CB", "GroupBox1", TextRole::Text, "Выберите данные, которые необходимо вывести в отчет"},
    {"Lab1", "Label19", TextRole::Text, "Название отчета:"},
    {"Lab2", "Label1", TextRole::Text, "Данные для вывода:"},
    {"Lab3", "Label2", TextRole::Text, "Данные для вывода:"},
    {"Lab4", "Label3", TextRole::Text, "Данные для вывода:"},
    {"Lab5", "Label4", TextRole::Text, "Данные для вывода:"},
    {"Lab6", "Label5", TextRole::Text, "Данные для вывода:"},
    {"Lab7", "Label6", TextRole::Text, "Данные для вывода:"},
    {"Lab8", "Label7", TextRole::Text, "Отступ:"},
    {"Lab9", "Label8", TextRole::Text, "Отступ:"},
    {"Lab10", "Label9", TextRole::Text, "Отступ:"},
    {"Lab11", "Label10", TextRole::Text, "Отступ:"},
    {"Lab12", "Label11", TextRole::Text, "Отступ:"},
    {"Lab13", "Label12", TextRole::Text, "Отступ:"},
    {"Lab14", "Label13", TextRole::Text, "Подпись:"},
    {"Lab15", "Label14", TextRole::Text, "Подпись:"},
    {"Lab16", "Label15", TextRole::Text, "Подпись:"},
    {"Lab17", "Label16", TextRole::Text, "Подпись:"},
    {"Lab18", "Label17", TextRole::Text, "Подпись:"},
    {"Lab19", "Label18", TextRole::Text, "Подпись:"},
    {"RB1", "RadioButton1", TextRole::Text, "Горизонтальный лист"},
    {"RB2", "RadioButton2", TextRole::Text, "Вертикальный лист"},
    {"But1", "BitBtn4", TextRole::Text, "SQL-запрос"},
    {"But2", "BitBtn1", TextRole::Text, "Закрыть"},
};

const WindowKey kSQLPrint[] = {
    {"Caption", "", TextRole::WindowCaption, "Сформированный SQL-запрос"},
    {"CB", "GroupBox1", TextRole::Text, "SQL-запрос"},
    {"But1", "BitBtn4", TextRole::Text, "Выполнить"},
    {"But2", "BitBtn1", TextRole::Text, "Сохранить"},
    {"But3", "BitBtn2", TextRole::Text, "Загрузить"},
};

const WindowKey kFormServer[] = {
    {"Caption", "", TextRole::WindowCaption, "Справочники"},
    {"GB1", "GroupBox2", TextRole::Text, "Список возможных заявок и уточнений"},
    {"GB2", "GroupBox5", TextRole::Text, "Сотрудники"},
    {"GB3", "GroupBox1", TextRole::Text, "Информация об отделах/группах"},
    {"GB4", "GroupBox4", TextRole::Text, "Время"},
    {"Lab1", "Label2", TextRole::Text, "Наименование заявок:"},
    {"Lab2", "Label3", TextRole::Text, "Уточнения:"},
    {"Lab3", "Label5", TextRole::Text, "Ф.И.О.:"},
    {"Lab4", "Label1", TextRole::Text, "Отделы/группы:"},
    {"Lab5", "Label4", TextRole::Text, "Время:"},
    {"But", "BitBtn1", TextRole::Text, "Сохранить"},
    {"HBut1", "SpeedButton1", TextRole::Hint, "Добавить"},
    {"HBut2", "SpeedButton2", TextRole::Hint, "Удалить"},
    {"HBut3", "SpeedButton3", TextRole::Hint, "Добавить"},
    {"HBut4", "SpeedButton4", TextRole::Hint, "Удалить"},
    {"HBut5", "SpeedButton5", TextRole::Hint, "Добавить"},
    {"HBut6", "SpeedButton6", TextRole::Hint, "Удалить"},
    {"HBut7", "SpeedButton7", TextRole::Hint, "Добавить"},
    {"HBut8", "SpeedButton8", TextRole::Hint, "Удалить"},
    {"HBut9", "SpeedButton9", TextRole::Hint, "Добавить"},
    {"HBut10", "SpeedButton10", TextRole::Hint, "Удалить"},
};

const WindowKey kFormSettings[] = {
    {"Caption", "", TextRole::WindowCaption, "Настройки"},
    {"GB1", "GroupBox1", TextRole::Text, "Основные настройки"},
    {"GB2", "GroupBox4", TextRole::Text, "О программе"},
    {"CB1", "CheckBox1", TextRole::Text, "Отключить звуки"},
    {"CB2", "CheckBox2", TextRole::Text, "Выделять важные заявки"},
    {"CB3", "CheckBox3", TextRole::Text, "Мигающая иконка при получении новой заявки"},
    {"CB4", "CheckBox6", TextRole::Text, "Иконка мигает, пока есть заявки, ожидающие очереди"},
    {"CB5", "CheckBox5", TextRole::Text, "Показывать время в списке заявок"},
    {"CB6", "CheckBox4", TextRole::Text, "Звук при получении новой заявки"},
    {"CB7", "CheckBox7", TextRole::Text, "Уведомление по e-mail"},
    {"CB8", "CheckBox8", TextRole::Text, "Уведомление о заявке в окне"},
    {"CB9", "CheckBox9", TextRole::Text, "Динамический"},
    {"Lab1", "Label3", TextRole::Text, "Скорость мигания иконки, мсек.:"},
    {"Lab2", "Label1", TextRole::Text, "Место расположения SQL-сервера (IP-адрес):"},
    {"Lab3", "Label2", TextRole::Text, "Путь к базе данных:"},
    {"Lab4", "Label4", TextRole::Text, "Язык:"},
    {"Lab5", "Label6", TextRole::Text, "Программа предназначена для регистрации и отслеживания заявок от пользователей в локальной сети"},
    {"Lab6", "Label7", TextRole::Text, "Версия программы: 1.0.2"},
    {"Lab8", "Label8", TextRole::Text, "Дата разработки: 28.07.2009"},
    {"Lab10", "Label11", TextRole::Text, "Место расположения программы-сервера (IP-адрес):"},
    {"Lab11", "Label12", TextRole::Text, "Имя этого компьютера (IP-адрес):"},
    {"Lab12", "Label13", TextRole::Text, "Интервал времени проверки заявок, сек.:"},
    {"RB1", "RadioButton1", TextRole::Text, "Сервер на другом компьютере"},
    {"RB2", "RadioButton2", TextRole::Text, "Сервер на этом компьютере"},
    {"But1", "BitBtn1", TextRole::Text, "Сохранить"},
    {"Hint", "SpeedButton2", TextRole::Hint, "Параметры e-mail"},
};

const WindowKey kAuth[] = {
    {"Caption", "", TextRole::WindowCaption, "Авторизация"},
    {"GB", "GroupBox1", TextRole::Text, "Выберите учетную запись и введите пароль"},
    {"Lab1", "Label1", TextRole::Text, "Ф.И.О.:"},
    {"Lab2", "Label3", TextRole::Text, "Логин (короткое имя):"},
    {"Lab3", "Label2", TextRole::Text, "Пароль:"},
    {"But1", "BitBtn1", TextRole::Text, "Войти"},
    {"But2", "BitBtn2", TextRole::Text, "Выход"},
    {"CB1", "CheckBox1", TextRole::Text, "Запомнить при следующем входе"},
};

const WindowKey kSelectIMP[] = {
    {"Caption", "", TextRole::WindowCaption, "Выберите важность заявки"},
    {"GB", "GroupBox1", TextRole::Text, "Выберите степень важности текущей заявки"},
    {"Lab1", "Label8", TextRole::Text, "Очень важная, нужно решить как можно быстрее"},
    {"Lab2", "Label10", TextRole::Text, "Средней важности, нужно решить в течении дня"},
    {"Lab3", "Label11", TextRole::Text, "Не важная, возможно решить в будущем"},
};

const WindowKey kZInfo[] = {
    {"Caption", "", TextRole::WindowCaption, "Информация о поступивших заявках"},
    {"GB1", "GroupBox1", TextRole::Text, "Список заявок"},
    {"GB2", "GroupBox2", TextRole::Text, "Информация о заявке"},
    {"CB1", "CheckBox1", TextRole::Text, "В очереди"},
    {"CB2", "CheckBox2", TextRole::Text, "Принятые к рассмотрению"},
    {"CB3", "CheckBox3", TextRole::Text, "Успешно решенные"},
    {"CB4", "CheckBox4", TextRole::Text, "Отклоненные"},
    {"CB5", "CheckBox5", TextRole::Text, "Другой статус"},
    {"CB6", "CheckBox6", TextRole::Text, "Важные заявки"},
    {"CB7", "CheckBox7", TextRole::Text, "Не очень важные заявки"},
    {"CB8", "CheckBox8", TextRole::Text, "Не важные заявки"},
    {"CB10", "CheckBox10", TextRole::Text, "Только последняя неделя"},
    {"CB11", "CheckBox11", TextRole::Text, "Только последний месяц"},
    {"Lab1", "Label1", TextRole::Text, "Время:"},
    {"Lab2", "Label2", TextRole::Text, "Вопрос:"},
    {"Lab3", "Label3", TextRole::Text, "Уточнение:"},
    {"Lab4", "Label4", TextRole::Text, "Время начала:"},
    {"Lab5", "Label5", TextRole::Text, "Подробное описание:"},
    {"Lab6", "Label6", TextRole::Text, "Контактное лицо:"},
    {"Lab7", "Label11", TextRole::Text, "Информация о системе:"},
    {"Lab8", "Label8", TextRole::Text, "Текущий статус:"},
    {"Lab9", "Label12", TextRole::Text, "Исполнитель:"},
    {"Lab10", "Label9", TextRole::Text, "Комментарий:"},
    {"Lab11", "Label14", TextRole::Text, "Отдел/группа:"},
    {"Lab12", "Label13", TextRole::Text, "Время изменения:"},
    {"Lab13", "Label7", TextRole::Text, "Важность:"},
    {"But1", "BitBtn1", TextRole::Text, "Сохранить"},
    {"But2", "BitBtn2", TextRole::Text, "Удалить"},
    {"But3", "BitBtn3", TextRole::Text, "Обновить"},
    {"But4", "BitBtn4", TextRole::Text, "Отчеты"},
    {"HBut1", "BitBtn1", TextRole::Hint, "Сохранить изменения"},
    {"HBut2", "BitBtn2", TextRole::Hint, "Удалить заявку/заявки"},
    {"HBut3", "BitBtn3", TextRole::Hint, "Обновить данные"},
    {"HBut4", "BitBtn4", TextRole::Hint, "Сформировать отчет"},
    {"HBut5", "image2", TextRole::Hint, "Изменить важность"},
    {"HBut6", "image3", TextRole::Hint, "Изменить важность"},
    {"HBut7", "Image4", TextRole::Hint, "Изменить важность"},
    {"HBut8", "SpeedButton1", TextRole::Hint, "Указать период поступления заявок"},
    {"HBut10", "SpeedButton3", TextRole::Hint, "Подробное описание комментария"},
    {"HBut11", "SpeedButton6", TextRole::Hint, "Подробное описание заявки"},
    {"HBut12", "SpeedButtonADMIN", TextRole::Hint, "Описание процесса обработки заявки"},
    {"HBut13", "SpeedButtonADMIN1116", TextRole::Hint, ""},
    {"HBut14", "SpeedButtonFILE1", TextRole::Hint, "Прикрепленный файл"},
    {"HBut15", "SpeedButtonFILE11108", TextRole::Hint, ""},
    {"HBut16", "SpeedButtonFILE2", TextRole::Hint, "Директория с файлом"},
    {"HBut17", "SpeedButtonFILE21104", TextRole::Hint, ""},
    {"HBut18", "SpeedButtonSAVE", TextRole::Hint, "Заменить файл"},
    {"HBut19", "SpeedButtonPING", TextRole::Hint, "Сделать ping"},
    {"HBut20", "SpeedButton4", TextRole::Hint, "Сохранить измененный файл"},
    {"HBut21", "SpeedButton5", TextRole::Hint, "Сохранить измененный файл"},
    {"HBut25", "SpeedButton22", TextRole::Hint, ""},
    {"HBut25", "SpeedButton22bl", TextRole::Hint, ""},
    {"OD1", "OpenDialog1", TextRole::FileFilter, "Любые файлы|*.*|Графические файлы|*.jpg;*.bmp;*.gif"},
    {"OD2", "OpenDialog1", TextRole::DialogTitle, "Прикрепить файл"},
    {"HBut22", "SpeedButton9", TextRole::Hint, ""},
    {"HBut23", "SpeedButton7", TextRole::Hint, ""},
    {"HBut24", "SpeedButton8", TextRole::Hint, ""},
    {"LBT1", "ToolButton1", TextRole::Text, "Отчеты"},
    {"LBT2", "ToolButton2", TextRole::Text, "Задачи"},
    {"LBT3", "ToolButton10", TextRole::Text, "Календарь"},
    {"LBT4", "ToolButton8", TextRole::Text, "Сохранить"},
    {"LBT5", "ToolButton3", TextRole::Text, "Карточка"},
    {"LBT6", "ToolButton4", TextRole::Text, "Сообщение"},
};

const WindowKey kTasks[] = {
    {"Caption", "", TextRole::WindowCaption, "Задачи для пользователя"},
    {"GB1", "GroupBox1", TextRole::Text, "Информация о задаче"},
    {"GB2", "GroupBox2", TextRole::Text, "Команды"},
    {"GB3", "GroupBox3", TextRole::Text, "Список задач"},
    {"Lab1", "Label1", TextRole::Text, "Наименование задачи:"},
    {"Lab2", "Label2", TextRole::Text, "Наименование текущей заявки:"},
    {"Lab3", "Label4", TextRole::Text, "Сроки выполнения задачи:"},
    {"Lab4", "Label6", TextRole::Text, "Начало"},
    {"Lab5", "Label7", TextRole::Text, "Конец"},
    {"Lab6", "Label3", TextRole::Text, "Напоминание о задаче:"},
    {"Lab7", "Label5", TextRole::Text, "Подробное описание задачи:"},
    {"CB1", "CheckBox1", TextRole::Text, "Связать задачу с выбранной заявкой"},
    {"HBut1", "SpeedButton17", TextRole::Hint, ""},
    {"HBut2", "SpeedButton2", TextRole::Hint, ""},
    {"HBut3", "SpeedButton4", TextRole::Hint, ""},
    {"HBut4", "SpeedButton7", TextRole::Hint, ""},
    {"HBut5", "SpeedButton5", TextRole::Hint, ""},
};

const WindowKey kCalTasks[] = {
    {"Caption", "", TextRole::WindowCaption, "Календарь с текущими заявками и задачами"},
    {"GB1", "GroupBox1", TextRole::Text, "Выберите необходимую дату"},
    {"GB2", "GroupBox2", TextRole::Text, "Выберите необходимую дату"},
    {"PC1", "TabSheet2", TextRole::Text, "Заявки дня"},
    {"PC2", "TabSheet1", TextRole::Text, "Задачи на день"},
    {"SB1", "SpeedButton17", TextRole::Text, "Просмотр"},
    {"SB1", "SpeedButton6", TextRole::Text, "Просмотр"},
    {"Lab1", "Label1", TextRole::Text, "Всего заявок:"},
    {"Lab2", "Label2", TextRole::Text, "Всего задач и заметок:"},
};

const WindowKey kEmail[] = {
    {"Caption", "", TextRole::WindowCaption, "Настройка уведомлений по e-mail"},
    {"GB", "GroupBox1", TextRole::Text, "Параметры e-mail"},
    {"Lab1", "Label1", TextRole::Text, "От кого (имя):"},
    {"Lab2", "Label2", TextRole::Text, "От кого (e-mail):"},
    {"Lab3", "Label3", TextRole::Text, "Тема:"},
    {"Lab4", "Label4", TextRole::Text, "Текст сообщения содержит:"},
    {"Lab5", "Label6", TextRole::Text, "Порт для подключения:"},
    {"Lab6", "Label7", TextRole::Text, "Адрес почтового сервера:"},
    {"Lab7", "Label8", TextRole::Text, "Логин:"},
    {"Lab8", "Label9", TextRole::Text, "Пароль:"},
    {"CB1", "CheckBox1", TextRole::Text, "№ заявки"},
    {"CB2", "CheckBox2", TextRole::Text, "Наименование"},
    {"CB3", "CheckBox3", TextRole::Text, "Уточнение"},
    {"CB4", "CheckBox4", TextRole::Text, "Подробности"},
    {"CB5", "CheckBox5", TextRole::Text, "Контактное лицо"},
    {"CB6", "CheckBox6", TextRole::Text, "Время начала"},
    {"CB7", "CheckBox7", TextRole::Text, "Инфо о ПК"},
    {"CB8", "CheckBox8", TextRole::Text, "Время поступления"},
    {"CB9", "CheckBox9", TextRole::Text, "Важность"},
    {"CB10", "CheckBox10", TextRole::Text, "Группа"},
    {"CB11", "CheckBox11", TextRole::Text, "Нужна аутентификация"},
    {"CB12", "CheckBox12", TextRole::Text, "№ в теме"},
    {"But", "BitBtn1", TextRole::Text, "Сохранить"},
    {"CB13", "Label10", TextRole::Text, "Кодировка для заголовка письма:"},
};

const WindowKey kPBar[] = {
    {"Caption", "", TextRole::WindowCaption, "Передача файла"},
};

const WindowKey kMemoShow[] = {
    {"Caption", "", TextRole::WindowCaption, "Подробная информация"},
    {"GB", "GroupBox1", TextRole::Text, "Содержимое"},
    {"But", "BitBtn2", TextRole::Text, "Выход"},
};

const WindowKey kDYNFound[] = {
    {"Caption", "", TextRole::WindowCaption, "Определение динамического IP-адреса"},
    {"GB", "GroupBox1", TextRole::Text, "Функции для определения адреса"},
    {"RB1", "RadioButton1", TextRole::Text, "Первый в списке не localhost"},
    {"RB2", "RadioButton2", TextRole::Text, "Поиск адреса по маске:"},
    {"Lab1", "Label1", TextRole::Text, "Пример: 192.168"},
    {"But", "BitBtn1", TextRole::Text, "Закрыть"},
};

const WindowKey kMessage[] = {
    {"Caption", "", TextRole::WindowCaption, "Отправка сообщения активным клиентам"},
    {"GB", "GroupBox1", TextRole::Text, "Содержимое сообщения (максимум 500 символов)"},
    {"But", "BitBtn1", TextRole::Text, "Отправить"},
};

const WindowSection kSections[] = {
    {"MainWindow", "TFormMain", kMainWindow},
    {"AddContact", "TAddContact", kAddContact},
    {"AddOther", "TAddOther", kAddOther},
    {"Calendar", "Tcalendar", kCalendar},
    {"CheckPrint", "TCheckPrint", kCheckPrint},
    {"CheckAdvPrint", "TCheckAdvPrint", kCheckAdvPrint},
    {"SQLPrint", "TSQLPrint", kSQLPrint},
    {"FormServer", "TFormServer", kFormServer},
    {"FormSettings", "TFormSettings", kFormSettings},
    {"auth", "Tauth", kAuth},
    {"SelectIMP", "TSelectIMP", kSelectIMP},
    {"ZInfo", "TZInfo", kZInfo},
    {"TASKS", "TTasks", kTasks},
    {"CALTASKS", "TCalTasks", kCalTasks},
    {"Email", "Temail_prop", kEmail},
    {"PBar", "TPBar", kPBar},
    {"MemoShow", "TMemoShow", kMemoShow},
    {"DYNFound", "TDYNFound", kDYNFound},
    {"Message", "TMess", kMessage},
};

const char *const kBuiltin[] = {
    "Закрыть окно", // DLG1
    "Информационное сообщение", // DLG2
    "Отдел/группа добавлен(а) в список!", // DLG3
    "В список отделов/групп внесены изменения!", // DLG4
    "Заявка добавлена в список!", // DLG5
    "Уточнение добавлено в список!", // DLG6
    "Время добавлено в список!", // DLG7
    "Сотрудник добавлен в список!", // DLG8
    "В список заявок внесены изменения!", // DLG9
    "В список уточнений внесены изменения!", // DLG10
    "В список времен внесены изменения!", // DLG11
    "В список сотрудников администрации внесены изменения!", // DLG12
    "Отчет по поступившим заявкам", // DLG13
    "Отчет по поступившим заявкам в период: с ", // DLG14
    " по ", // DLG15
    "Дата и время", // DLG16
    "Отдел/группа", // DLG17
    "Заявка", // DLG18
    "Уточнение", // DLG19
    "Статус", // DLG20
    "Изменение", // DLG21
    "Исполнитель", // DLG22
    "Комментарий", // DLG23
    "Контакт", // DLG24
    "Редактирование записи", // DLG25
    "Информация о заявке", // DLG26
    "Информация об уточнении", // DLG27
    "Информация о времени", // DLG28
    "Информация об администрации", // DLG29
    "Наименование заявки:", // DLG30
    "Наименование уточнения:", // DLG31
    "Наименование времени:", // DLG32
    "Ф.И.О.:", // DLG33
    "Сотрудник удален из списка!", // DLG34
    "Новая запись", // DLG35
    "Отдел/группа удален(а) из списка!", // DLG36
    "Заявка удалена из списка!", // DLG37
    "Уточнение удалено из списка!", // DLG38
    "Время удалено из списка!", // DLG39
    "Сервер обнаружен!", // DLG40
    "Сервер на указанном компьютере не обнаружен!", // DLG41
    "Статус заявки изменен!", // DLG42
    "Новые заявки: ", // DLG43
    "Новых заявок нет", // DLG44
    "Необходимо рассмотреть в ближайший час", // DLG45
    "Необходимо рассмотреть в течении дня", // DLG46
    "Необходимо рассмотреть по возможности", // DLG47
    "Изменить важность заявки?", // DLG48
    "Изменить", // DLG49
    "Не изменять", // DLG50
    "Закрыть окно", // DLG51
    "Выбор действия", // DLG52
    "Важность заявки изменена!", // DLG53
    "В очереди", // DLG54
    "Принята к рассмотрению", // DLG55
    "Успешно решено", // DLG56
    "Заявка отклонена", // DLG57
    "Другой статус", // DLG58
    "Еще не рассмотрена", // DLG59
};

constexpr std::array<int, kCatalogueSize> makeCatalogueOrder()
{
    std::array<int, kCatalogueSize> order{};
    int i = 0;
    const auto range = [&](int first, int last) {
        for (int n = first; n <= last; ++n)
            order[i++] = n;
    };
    range(1, 102);   // DLG96 is written "dlg96"
    range(106, 106);
    range(115, 169);
    range(180, 181);
    range(200, 201);
    range(300, 353);
    range(360, 364);
    range(370, 371);
    range(500, 520);
    range(530, 530);
    return order;
}

constexpr std::array<int, kCatalogueSize> kCatalogueOrder = makeCatalogueOrder();
static_assert(kCatalogueOrder.back() == 530, "catalogue order does not fill exactly 245 keys");

const CatalogueTargetInfo kTargets[] = {
    {CatalogueTarget::TrayTaskListItem, "MainWindow", "N1", TextRole::Text, "Список задач", 60, 60},
    {CatalogueTarget::TrayRequestsItem, "MainWindow", "N4", TextRole::Text, "Информация по заявкам", 61, 61},
    {CatalogueTarget::TrayExitItem, "MainWindow", "N3", TextRole::Text, "Выход", 62, 62},
    {CatalogueTarget::ReportSortButton, "CheckAdvPrint", "SpeedButton3", TextRole::Text, "По убыв.", 363, 363},
    {CatalogueTarget::SqlSaveDialogFilter, "SQLPrint", "SaveDialog1", TextRole::FileFilter,
     "Файлы отчетов TOVEX|*.tovex", 360, 360},
    {CatalogueTarget::SqlSaveDialogTitle, "SQLPrint", "SaveDialog1", TextRole::DialogTitle, "Сохранение отчета", 361,
     361},
    {CatalogueTarget::SqlOpenDialogFilter, "SQLPrint", "OpenDialog1", TextRole::FileFilter,
     "Файлы отчетов TOVEX|*.tovex", 360, 360},
    {CatalogueTarget::SqlOpenDialogTitle, "SQLPrint", "OpenDialog1", TextRole::DialogTitle, "Загрузка отчета", 362, 362},
    {CatalogueTarget::TaskPeriodList, "TASKS", "ComboBox1", TextRole::ListItems, "весь период", 147, 159},
    {CatalogueTarget::RequestStatusList, "ZInfo", "ComboBox1", TextRole::ListItems, "", 54, 58},
};

} // namespace

std::span<const WindowSection> windowSections()
{
    return kSections;
}

const WindowSection *findWindowSection(QAnyStringView name)
{
    const QString wanted = name.toString().trimmed();
    for (const WindowSection &s : kSections) {
        if (wanted.compare(QLatin1StringView(s.name), Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

std::span<const int> catalogueNumbers()
{
    return kCatalogueOrder;
}

bool isCatalogueNumber(int number)
{
    return std::binary_search(kCatalogueOrder.begin(), kCatalogueOrder.end(), number);
}

QString catalogueKey(int number)
{
    if (!isCatalogueNumber(number))
        return QString();
    return (number == 96 ? QStringLiteral("dlg") : QStringLiteral("DLG")) + QString::number(number);
}

int catalogueNumber(QStringView key)
{
    const QStringView t = key.trimmed();
    if (t.size() < 4 || !t.first(3).startsWith(QLatin1StringView("dlg"), Qt::CaseInsensitive))
        return -1;
    const QStringView digits = t.sliced(3);
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    if (digits.size() > 1 && digits.front() == u'0')
        return -1; // "DLG082" is a different profile key from "DLG82"
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && isCatalogueNumber(n) ? n : -1;
}

QString builtinText(int number)
{
    if (number < 1 || number > kLastBuiltinMessage)
        return QString();
    return QString::fromUtf8(kBuiltin[number - 1]);
}

QStringList CatalogueTargetInfo::texts() const
{
    QStringList out;
    for (int n = firstKey; n <= lastKey; ++n)
        out.append(msg(n));
    return out;
}

std::span<const CatalogueTargetInfo> catalogueTargets()
{
    return kTargets;
}

const CatalogueTargetInfo &catalogueTarget(CatalogueTarget id)
{
    for (const CatalogueTargetInfo &t : kTargets) {
        if (t.id == id)
            return t;
    }
    Q_UNREACHABLE();
    return kTargets[0];
}

QString toQtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString name = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (name.isEmpty() && patterns.isEmpty())
            continue;
        patterns.replace(u';', u' ');
        if (patterns.trimmed().isEmpty())
            patterns = QStringLiteral("*");
        out.append((name.isEmpty() ? patterns : name) + QStringLiteral(" (") + patterns.simplified() + u')');
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace bw
