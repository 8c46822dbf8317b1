#include "data/ClientRequests.h"

#include "data/FbApi.h"
#include "data/PreparedStatement.h"
#include "data/Schema.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace bw {

namespace {

const QString kInsertRequest = QStringLiteral(
    "INSERT INTO SERVER_ALL (ID, ID_CLIENT, DATA, INTIME, CLIENT_GROUP, TROUBLE, TROUBLE_MORE, TROUBLE_WHEN, "
    "TROUBLE_MAX, CONTACT, \"IMP\", IMP_MORE, THISCOMP, OS, PROC, MEMORY, IPADR, EMAIL, CLIENT_AT, "
    "\"CURRENT_STATE\", TEXT_STATE, \"ADMIN\", CURRENT_INFO, CTIME, ADMIN_TEXT, M_INFO) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

const QString kAdminInbox = QStringLiteral("_ADMIN");

QVariant textOrNull(const QString &s)
{
    return s.isEmpty() ? QVariant() : QVariant(s);
}

// One SERVER_ALL row as it is written.
struct RequestRow
{
    int id = 0;
    QString idClient;
    QDateTime data;
    int clientGroup = 0;
    QString trouble, troubleMore, troubleWhen, troubleMax, contact;
    int imp = 2;
    QString impMore;
    bool thisComp = true;
    QString os, proc, memory, ip, email, attachment;
    int state = 0;
    QString textState;
    int admin = 0;
    QString currentInfo;
    QDateTime ctime; // invalid: never saved by the console
    QString adminText, mInfo;

    QVariantList params() const
    {
        return {id,
                textOrNull(idClient),
                data,
                intimeText(data),
                clientGroup,
                trouble,
                troubleMore,
                troubleWhen,
                textOrNull(troubleMax),
                contact,
                imp,
                textOrNull(impMore),
                thisComp,
                os,
                proc,
                memory,
                ip,
                textOrNull(email),
                textOrNull(attachment),
                state,
                textOrNull(textState),
                admin,
                textOrNull(currentInfo),
                ctime.isValid() ? QVariant(ctimeText(ctime)) : QVariant(),
                textOrNull(adminText),
                textOrNull(mInfo)};
    }
};

// Receipt and save times are shown to the second; the stored moment matches what is shown.
QDateTime wholeSeconds(const QDateTime &t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

QString inboxTableName(int userId)
{
    return userId == 0 ? kAdminInbox : QString::number(userId);
}

// Appends inbox rows, numbering each table's rows from its largest ID + 1.
class InboxWriter final
{
public:
    InboxWriter(FbConnection &conn, FbConnection::Transaction &tra) : m_conn(conn), m_tra(tra) {}

    void add(int userId, int requestId)
    {
        const QString table = inboxTableName(userId);
        auto it = m_tables.find(table);
        if (it == m_tables.end()) {
            Table t;
            t.insert = std::make_unique<PreparedStatement>(
                m_conn, m_tra, QStringLiteral("INSERT INTO %1 (ID, IN_ID) VALUES (?, ?)").arg(quoteIdentifier(table)));
            t.nextId = selectValue(m_conn, m_tra,
                                   QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM %1").arg(quoteIdentifier(table)))
                           .toInt() +
                       1;
            it = m_tables.emplace(table, std::move(t)).first;
        }
        it->second.insert->execute({it->second.nextId++, requestId});
    }

private:
    struct Table
    {
        std::unique_ptr<PreparedStatement> insert;
        int nextId = 1;
    };
    FbConnection &m_conn;
    FbConnection::Transaction &m_tra;
    std::map<QString, Table> m_tables;
};

// ---------------------------------------------------------------------------------------------
// Demo content

struct Topic
{
    const char *name;
    std::vector<const char *> refinements;
    std::vector<const char *> descriptions;
    std::vector<const char *> solutions;
};

const std::vector<Topic> &topics()
{
    static const std::vector<Topic> list = {
        {"Принтер",
         {"Не печатает", "Замятие бумаги", "Закончился тонер", "Печатает полосами", "Не виден в сети"},
         {"Принтер не печатает, документы висят в очереди печати.",
          "При печати замяло бумагу, достать не получается, горит красная лампочка.",
          "Листы выходят бледные, с белыми полосами посередине.",
          "Принтер пишет, что закончился тонер, а нам срочно нужно распечатать договоры.",
          "После переезда в другой кабинет принтер перестал находиться в сети."},
         {"Заменен картридж, сделана тестовая печать.", "Извлечена замятая бумага, почищен ролик подачи.",
          "Переустановлен драйвер, очередь печати очищена.", "Принтеру назначен постоянный адрес, печать восстановлена."}},
        {"Интернет",
         {"Нет доступа", "Медленно работает", "Не открывается сайт", "Не работает Wi-Fi"},
         {"С утра нет интернета, браузер пишет, что нет подключения.",
          "Страницы открываются очень долго, видео не загружается совсем.",
          "Не открывается сайт налоговой, остальные сайты работают.",
          "Ноутбук не подключается к Wi-Fi в переговорной."},
         {"Перезапущен коммутатор на этаже, доступ восстановлен.", "Сайт добавлен в исключения прокси-сервера.",
          "Заменен сетевой кабель, скорость в норме.", "Ноутбук заново подключен к беспроводной сети."}},
        {"Электронная почта",
         {"Не отправляются письма", "Не приходят письма", "Переполнен почтовый ящик", "Настроить почту"},
         {"Письма висят в исходящих и не уходят, при отправке ошибка сервера.",
          "Контрагент говорит, что отправил письмо, а у меня его нет, в спаме тоже нет.",
          "Пришло сообщение, что почтовый ящик переполнен, новые письма не приходят.",
          "Нужно настроить почту на новом компьютере, старые письма тоже нужны."},
         {"Исправлены настройки сервера исходящей почты.", "Увеличен размер ящика, старые письма перенесены в архив.",
          "Почтовая программа настроена, архив писем подключен.", "Адрес отправителя убран из черного списка."}},
        {"1С",
         {"Ошибка при запуске", "Не проводится документ", "Нужен доступ к базе", "Медленно работает"},
         {"При запуске 1С выдает ошибку и закрывается.",
          "Документ реализации не проводится, пишет, что не хватает остатков, хотя товар есть.",
          "Прошу дать доступ к базе зарплаты новому сотруднику отдела.",
          "Отчеты в 1С формируются по десять минут, раньше было быстрее."},
         {"Очищен кэш 1С, программа запускается.", "Проведено тестирование и исправление информационной базы.",
          "Пользователю выданы права на базу.", "Обновлена конфигурация, выполнено сжатие базы."}},
        {"Компьютер не включается",
         {"Нет реакции на кнопку", "Включается и сразу выключается", "Черный экран", "Пищит при включении"},
         {"Нажимаю кнопку включения, компьютер не реагирует, лампочки не горят.",
          "Компьютер включается на пару секунд и сразу выключается.",
          "Компьютер гудит, но на мониторе черный экран.",
          "При включении компьютер пищит несколько раз и дальше не загружается."},
         {"Заменен блок питания.", "Переустановлены модули памяти, почищены контакты.",
          "Заменен кабель монитора.", "Системный блок почищен от пыли, заменена термопаста."}},
        {"Монитор",
         {"Нет изображения", "Мерцает", "Неправильное разрешение"},
         {"Монитор не показывает изображение, пишет «нет сигнала».",
          "Изображение на мониторе мерцает, болят глаза.",
          "После обновления все стало крупным и размытым."},
         {"Заменен кабель, изображение есть.", "Установлена правильная частота обновления.",
          "Установлен драйвер видеокарты, разрешение восстановлено."}},
        {"Телефония",
         {"Не работает телефон", "Нет гудка", "Настроить переадресацию"},
         {"Телефон не включается, экран не горит.", "Снимаю трубку, гудка нет.",
          "Нужно настроить переадресацию звонков на мобильный на время отпуска."},
         {"Телефон переподключен к коммутатору.", "Переадресация настроена.", "Заменен телефонный аппарат."}},
        {"Программное обеспечение",
         {"Установить программу", "Обновить программу", "Ошибка при работе программы", "Нужна лицензия"},
         {"Прошу установить программу для просмотра чертежей.",
          "Программа банк-клиент требует обновления, без него не отправляются платежки.",
          "При сохранении файла в редакторе появляется ошибка, работа теряется.",
          "Закончилась лицензия на программу распознавания текста."},
         {"Программа установлена.", "Выполнено обновление до последней версии.",
          "Программа переустановлена, файл восстановлен из резервной копии.", "Лицензия продлена."}},
        {"Учетная запись",
         {"Забыл пароль", "Заблокирована учетная запись", "Нужен доступ к папке"},
         {"Забыл пароль для входа в компьютер после отпуска.",
          "Пишет, что учетная запись заблокирована, войти не могу.",
          "Нужен доступ к общей папке отдела на сервере."},
         {"Пароль сброшен, пользователь сменил его при входе.", "Учетная запись разблокирована.",
          "Выданы права на папку."}},
        {"Вирусы",
         {"Антивирус нашел угрозу", "Всплывающая реклама", "Не обновляется антивирус"},
         {"Антивирус сообщает об угрозе в файле с флешки.", "В браузере постоянно выскакивает реклама.",
          "Антивирус пишет, что базы устарели."},
         {"Проведена полная проверка, угроза удалена.", "Удалено нежелательное расширение браузера.",
          "Антивирус переустановлен, базы обновлены."}},
        {"Сканер",
         {"Не сканирует", "Настроить сканирование в папку"},
         {"Сканер не отвечает, программа сканирования его не видит.",
          "Нужно настроить сканирование с МФУ в сетевую папку."},
         {"Переустановлен драйвер сканера.", "Сканирование в папку настроено."}},
    };
    return list;
}

const std::vector<const char *> &timeOptions()
{
    static const std::vector<const char *> list = {"Только что", "Сегодня утром", "Сегодня днем",
                                                   "Вчера",      "На этой неделе", "Больше недели назад"};
    return list;
}

struct Group
{
    const char *name;
    const char *manager;
    const char *host; // prefix of the computer names of the department
};

const std::vector<Group> &groups()
{
    static const std::vector<Group> list = {
        {"Бухгалтерия", "Петрова Ольга Николаевна", "BUH"},
        {"Отдел кадров", "Кузнецова Ирина Викторовна", "OK"},
        {"Отдел продаж", "Орлов Дмитрий Сергеевич", "SALES"},
        {"Юридический отдел", "Лебедев Андрей Павлович", "LAW"},
        {"Склад", "Захаров Николай Иванович", "SKLAD"},
        {"Приемная", "Соловьева Анна Михайловна", "PRIEM"},
        {"Планово-экономический отдел", "Григорьева Татьяна Андреевна", "PEO"},
        {"Отдел снабжения", "Макаров Игорь Владимирович", "SNAB"},
    };
    return list;
}

struct StaffMember
{
    int id;
    const char *name;
    const char *login;
    const char *pass;
    int priv;
    const char *email;
};

const std::vector<StaffMember> &staff()
{
    static const std::vector<StaffMember> list = {
        {1, "Администратор", "admin", "admin", 0, "helpdesk@brindlewick.local"},
        {2, "Соколова Марина Викторовна", "sokolova", "1111", 0, "m.sokolova@brindlewick.local"},
        {3, "Волков Сергей Николаевич", "volkov", "2222", 1, "s.volkov@brindlewick.local"},
        {4, "Новиков Алексей Игоревич", "novikov", "3333", 1, "a.novikov@brindlewick.local"},
        {5, "Морозов Павел Андреевич", "morozov", "4444", 1, ""},
        {6, "Егорова Наталья Петровна", "egorova", "5555", 2, "n.egorova@brindlewick.local"},
    };
    return list;
}

struct NamePair
{
    const char *ru;
    const char *lat;
};

const std::array<NamePair, 24> kSurnames = {{{"Иванов", "ivanov"},     {"Петров", "petrov"},
                                             {"Смирнов", "smirnov"},   {"Кузнецов", "kuznetsov"},
                                             {"Попов", "popov"},       {"Васильев", "vasiliev"},
                                             {"Михайлов", "mikhailov"}, {"Федоров", "fedorov"},
                                             {"Алексеев", "alekseev"}, {"Семенов", "semenov"},
                                             {"Павлов", "pavlov"},     {"Козлов", "kozlov"},
                                             {"Степанов", "stepanov"}, {"Николаев", "nikolaev"},
                                             {"Андреев", "andreev"},   {"Никитин", "nikitin"},
                                             {"Зайцев", "zaitsev"},    {"Борисов", "borisov"},
                                             {"Яковлев", "yakovlev"},  {"Тарасов", "tarasov"},
                                             {"Белов", "belov"},       {"Комаров", "komarov"},
                                             {"Киселев", "kiselev"},   {"Ильин", "ilyin"}}};
const std::array<NamePair, 10> kMaleNames = {{{"Александр", "a"}, {"Дмитрий", "d"}, {"Сергей", "s"},
                                              {"Андрей", "a"},    {"Алексей", "a"}, {"Игорь", "i"},
                                              {"Михаил", "m"},    {"Владимир", "v"}, {"Николай", "n"},
                                              {"Павел", "p"}}};
const std::array<NamePair, 10> kFemaleNames = {{{"Елена", "e"},    {"Ольга", "o"},     {"Наталья", "n"},
                                                {"Татьяна", "t"},  {"Ирина", "i"},     {"Светлана", "s"},
                                                {"Анна", "a"},     {"Марина", "m"},    {"Юлия", "y"},
                                                {"Екатерина", "e"}}};
const std::array<const char *, 8> kMalePatronymics = {"Александрович", "Сергеевич",   "Иванович",
                                                      "Петрович",      "Викторович",  "Николаевич",
                                                      "Владимирович",  "Андреевич"};
const std::array<const char *, 8> kFemalePatronymics = {"Александровна", "Сергеевна",   "Ивановна",
                                                        "Петровна",      "Викторовна",  "Николаевна",
                                                        "Владимировна",  "Андреевна"};

const std::array<const char *, 5> kOs = {"Windows 10 Pro", "Windows 10 Pro", "Windows 11 Pro",
                                         "Windows 7 Professional SP1", "Windows 8.1 Pro"};
const std::array<const char *, 6> kProc = {"Intel Core i5-4460 3.20GHz",  "Intel Core i3-7100 3.90GHz",
                                           "Intel Pentium G4560 3.50GHz", "AMD Ryzen 5 3400G 3.70GHz",
                                           "Intel Core i5-10400 2.90GHz", "Intel Celeron J4125 2.00GHz"};
const std::array<const char *, 4> kMemory = {"4096 Мб", "8192 Мб", "8192 Мб", "16384 Мб"};

const std::array<const char *, 8> kImportanceComments = {
    "Срочно, сегодня сдаем отчет", "Стоит вся работа отдела", "Не горит, можно на неделе",
    "Клиент ждет документы",       "Нужно до конца дня",      "Когда будет время",
    "Руководитель просил ускорить", "Могу работать на соседнем компьютере"};

const std::array<const char *, 8> kAddOns = {
    "Перезагрузка не помогла.",
    "Проблема повторяется уже второй раз за неделю.",
    "Раньше все работало нормально.",
    "С утра ничего не меняли.",
    "Я на месте до шести, можно подходить в любое время.",
    "Коллеги в кабинете с такой же проблемой не сталкивались.",
    "Очень прошу побыстрее.",
    "Если нужно, могу перезвонить."};

const std::array<const char *, 4> kAcceptedComments = {
    "Заявка принята, специалист подойдет в течение часа.", "Принята в работу, ожидаем запчасть.",
    "Взял в работу, подключусь удаленно.", "Принята, нужно согласование с руководителем отдела."};
const std::array<const char *, 4> kSolvedComments = {
    "Проблема устранена.", "Выполнено, проверено вместе с пользователем.",
    "Сделано. Если повторится, оставьте новую заявку.", "Работы выполнены, пользователь доволен."};
const std::array<const char *, 3> kRejectedComments = {
    "Дубль заявки, работы ведутся по предыдущей.",
    "Заявка отклонена: установка личных программ запрещена регламентом.",
    "Отклонено: нужна служебная записка руководителя отдела."};
const std::array<const char *, 3> kOtherComments = {
    "Передано в сервисный центр по гарантии.",
    "Требуется закупка комплектующих, заявка передана в отдел снабжения.",
    "Передано подрядчику, обслуживающему телефонию."};
const std::array<const char *, 5> kNotes = {
    "Пользователь просил звонить на мобильный.", "Ноутбук на гарантии до конца года.",
    "Инвентарный номер 0045123.", "Похожая заявка уже была в прошлом месяце.",
    "Проверить еще раз через неделю."};
const std::array<const char *, 5> kAttachments = {"screenshot.png", "ошибка.jpg", "error_1c.txt", "IMG_2041.jpg",
                                                  "report.docx"};

// Sentences the long texts of generated requests are made of.
const std::array<const char *, 12> kFiller = {
    "Проверены кабели и подключение к сети.",
    "Пользователь сообщил, что проблема появилась после обновления.",
    "Выполнена диагностика оборудования на месте.",
    "Согласовано время визита с руководителем отдела.",
    "Требуется повторная проверка через несколько дней.",
    "Заменены расходные материалы, оборудование работает.",
    "Настройки восстановлены из резервной копии.",
    "Ошибку удалось воспроизвести на другом компьютере.",
    "Пользователю даны рекомендации по работе с программой.",
    "Сведения внесены в журнал учета оборудования.",
    "Работы выполнены в обеденный перерыв, чтобы не мешать отделу.",
    "Дальнейших действий со стороны пользователя не требуется."};

const std::array<const char *, 5> kStateTexts = {"В очереди", "Принята к рассмотрению", "Успешно решено",
                                                 "Заявка отклонена", "Другой статус"};

class Dice final
{
public:
    explicit Dice(quint32 seed) : m_gen(seed) {}
    int below(int n) { return n <= 1 ? 0 : int(m_gen.bounded(quint32(n))); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename C>
    const auto &pick(const C &c)
    {
        return c[size_t(below(int(c.size())))];
    }
    // An index chosen by weights.
    int weighted(std::initializer_list<int> weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = below(total);
        int i = 0;
        for (int w : weights) {
            if (r < w)
                return i;
            r -= w;
            ++i;
        }
        return i - 1;
    }

private:
    QRandomGenerator m_gen;
};

// A user of the client program: who he is, where he sits, what his computer is.
struct Person
{
    QString contact;
    QString email;
    QString idClient;
    QString ip;
    QString os, proc, memory;
    int groupIndex = 0;
};

std::vector<Person> makePeople(Dice &dice, int count)
{
    std::vector<Person> people;
    QSet<QString> hosts;
    for (int i = 0; i < count; ++i) {
        Person p;
        const bool female = dice.chance(55);
        const NamePair &surname = dice.pick(kSurnames);
        const NamePair &first = female ? dice.pick(kFemaleNames) : dice.pick(kMaleNames);
        const QString patronymic =
            QString::fromUtf8(female ? dice.pick(kFemalePatronymics) : dice.pick(kMalePatronymics));
        const QString last = QString::fromUtf8(surname.ru) + (female ? QStringLiteral("а") : QString());
        const QString phone = QString::number(dice.between(200, 499));
        if (dice.chance(50))
            p.contact = QStringLiteral("%1 %2 %3, тел. %4").arg(last, QString::fromUtf8(first.ru), patronymic, phone);
        else
            p.contact = QStringLiteral("%1 %2.%3., каб. %4, тел. %5")
                            .arg(last, QString::fromUtf8(first.ru).left(1), patronymic.left(1))
                            .arg(dice.between(101, 412))
                            .arg(phone);
        if (!dice.chance(20))
            p.email = QStringLiteral("%1.%2%3@brindlewick.local")
                          .arg(QLatin1String(first.lat), QLatin1String(surname.lat),
                               female ? QStringLiteral("a") : QString());
        p.groupIndex = dice.below(int(groups().size()));
        // Computer names are mostly one per person; in a crowded department people share computers.
        QString host;
        for (int tries = 0; tries < 8; ++tries) {
            host = QStringLiteral("%1-PC%2")
                       .arg(QLatin1String(groups()[size_t(p.groupIndex)].host))
                       .arg(dice.between(1, 60), 2, 10, QLatin1Char('0'));
            if (!hosts.contains(host))
                break;
        }
        hosts.insert(host);
        p.idClient = host;
        p.ip = QStringLiteral("192.168.%1.%2").arg(10 + p.groupIndex).arg(dice.between(20, 230));
        p.os = QString::fromUtf8(dice.pick(kOs));
        p.proc = QString::fromUtf8(dice.pick(kProc));
        p.memory = QString::fromUtf8(dice.pick(kMemory));
        people.push_back(std::move(p));
    }
    return people;
}

// The directory lists a request picks its topic from.
struct Directories
{
    struct TopicRef
    {
        QString name;
        QStringList refinements;
        int demoTopic = -1; // index into topics() when the name is a demo topic
    };
    std::vector<TopicRef> topics;
    QStringList times;
    std::vector<int> groupIds; // GROUP_ID by person's group index (0: none)
};

Directories demoDirectories()
{
    Directories d;
    for (size_t i = 0; i < topics().size(); ++i) {
        Directories::TopicRef t;
        t.name = QString::fromUtf8(topics()[i].name);
        for (const char *r : topics()[i].refinements)
            t.refinements << QString::fromUtf8(r);
        t.demoTopic = int(i);
        d.topics.push_back(t);
    }
    for (const char *w : timeOptions())
        d.times << QString::fromUtf8(w);
    for (size_t i = 0; i < groups().size(); ++i)
        d.groupIds.push_back(int(i) + 1);
    return d;
}

// Makes the requests of the demo and of the bulk generator.
class RequestMaker final
{
public:
    RequestMaker(Dice &dice, Directories dirs, std::vector<Person> people)
        : m_dice(dice), m_dirs(std::move(dirs)), m_people(std::move(people))
    {
    }

    // A request received at `when`; the status depends on its age at `now`.
    // executors: staff members a request may be assigned to; dispatchers: the ones who assign.
    RequestRow make(int id, const QDateTime &when, const QDateTime &now, const std::vector<int> &executors,
                    const std::vector<int> &dispatchers, bool fillAllTexts)
    {
        Dice &d = m_dice;
        RequestRow r;
        r.id = id;
        r.data = when;
        const Person &p = m_people[size_t(d.below(int(m_people.size())))];
        r.idClient = p.idClient;
        r.clientGroup = m_dirs.groupIds.empty() ? 0 : m_dirs.groupIds[size_t(p.groupIndex) % m_dirs.groupIds.size()];
        r.contact = p.contact;
        r.email = p.email;
        r.thisComp = d.chance(85);
        r.os = p.os;
        r.proc = p.proc;
        r.memory = p.memory;
        r.ip = p.ip;

        const Directories::TopicRef &t = m_dirs.topics[size_t(d.below(int(m_dirs.topics.size())))];
        const Topic *demo = t.demoTopic >= 0 ? &topics()[size_t(t.demoTopic)] : nullptr;
        r.trouble = t.name;
        r.troubleMore = t.refinements.isEmpty() ? QString() : t.refinements.at(d.below(int(t.refinements.size())));
        r.troubleWhen = m_dirs.times.isEmpty() ? QString() : m_dirs.times.at(d.below(int(m_dirs.times.size())));
        r.imp = 1 + d.weighted({20, 45, 35});
        if (d.chance(r.imp == 1 ? 70 : 25))
            r.impMore = QString::fromUtf8(d.pick(kImportanceComments));
        if (d.chance(6))
            r.attachment = QString::fromUtf8(d.pick(kAttachments));

        QString text = demo ? QString::fromUtf8(d.pick(demo->descriptions)) : QString::fromUtf8(d.pick(kFiller));
        if (d.chance(60))
            text += u' ' + QString::fromUtf8(d.pick(kAddOns));
        if (!r.attachment.isEmpty())
            text += QStringLiteral(" Снимок экрана с ошибкой приложил.");
        r.troubleMax = text;

        // Older requests are mostly handled; the queue holds mainly the last days' ones.
        const qint64 ageDays = when.daysTo(now);
        if (ageDays < 2)
            r.state = d.weighted({60, 30, 8, 1, 1});
        else if (ageDays < 7)
            r.state = d.weighted({20, 35, 35, 5, 5});
        else if (ageDays < 30)
            r.state = d.weighted({5, 15, 65, 8, 7});
        else
            r.state = d.weighted({1, 5, 79, 8, 7});

        auto pickOf = [&d](const std::vector<int> &ids) { return ids.empty() ? 0 : ids[size_t(d.below(int(ids.size())))]; };
        if (r.state == 0) {
            // Requests still in the queue wait in _ADMIN: the dispatcher assigns them when accepting.
            // (With a queued request already assigned, an administrator's queue count exceeds the
            // rows of _ADMIN and the watch would stay silent for the next new request.)
            r.admin = 0;
        } else {
            r.admin = (r.state == 3 && d.chance(30)) ? 0 : pickOf(d.chance(85) ? executors : dispatchers);
            r.textState = QString::fromUtf8(kStateTexts[size_t(r.state)]);
            r.ctime = handledAt(when, now);
            switch (r.state) {
            case 1:
                r.currentInfo = QString::fromUtf8(d.pick(kAcceptedComments));
                break;
            case 2:
                r.currentInfo = QString::fromUtf8(d.pick(kSolvedComments));
                r.adminText = demo ? QString::fromUtf8(d.pick(demo->solutions)) : QString::fromUtf8(d.pick(kFiller));
                break;
            case 3:
                r.currentInfo = QString::fromUtf8(d.pick(kRejectedComments));
                break;
            default:
                r.currentInfo = QString::fromUtf8(d.pick(kOtherComments));
                break;
            }
        }
        if (d.chance(15))
            r.mInfo = QString::fromUtf8(d.pick(kNotes));

        if (fillAllTexts) {
            r.troubleMax = longText(r.troubleMax);
            r.currentInfo = longText(r.currentInfo);
            r.adminText = longText(r.adminText);
            r.mInfo = longText(r.mInfo);
        }
        return r;
    }

    const Directories &directories() const { return m_dirs; }

private:
    QDateTime handledAt(const QDateTime &when, const QDateTime &now)
    {
        const QDateTime t = when.addSecs(m_dice.between(5 * 60, 2 * 24 * 3600));
        return t < now ? t : now;
    }

    // 50 to 300 characters: the start given, filled up with sentences and cut at a word.
    QString longText(const QString &start)
    {
        const int target = m_dice.between(50, 300);
        QString s = start;
        s.reserve(target + 100);
        while (s.size() < target) {
            if (!s.isEmpty())
                s += u' ';
            s += QString::fromUtf8(m_dice.pick(kFiller));
        }
        if (s.size() > 300) {
            s.truncate(300);
            const qsizetype blank = s.lastIndexOf(u' ');
            if (blank >= 50)
                s.truncate(blank);
        }
        return s;
    }

    Dice &m_dice;
    Directories m_dirs;
    std::vector<Person> m_people;
};

QDateTime workingMoment(Dice &dice, const QDateTime &now, int maxDaysBack)
{
    QDate day;
    for (int tries = 0; tries < 5; ++tries) {
        day = now.date().addDays(-dice.below(maxDaysBack));
        if (day.dayOfWeek() < 6 || dice.chance(10))
            break;
    }
    QDateTime t(day, QTime(8, 0).addSecs(dice.below(10 * 3600 + 1800)));
    if (t > now)
        t = now.addSecs(-dice.between(60, 3 * 3600));
    return t;
}

void insertDirectories(FbConnection &conn, FbConnection::Transaction &tra)
{
    PreparedStatement group(conn, tra,
                            QStringLiteral("INSERT INTO GROUPS (GROUP_ID, GROUP_NAME, GROUP_MANAGER, ORD) VALUES (?, ?, ?, ?)"));
    for (size_t i = 0; i < groups().size(); ++i)
        group.execute({int(i) + 1, QString::fromUtf8(groups()[i].name), QString::fromUtf8(groups()[i].manager),
                       int(i) + 1});

    PreparedStatement topic(conn, tra, QStringLiteral("INSERT INTO P_MAIN (ID, NAME, ORD) VALUES (?, ?, ?)"));
    PreparedStatement refinement(conn, tra,
                                 QStringLiteral("INSERT INTO P_2 (ID, ID_MAIN, NAME, ORD) VALUES (?, ?, ?, ?)"));
    int refinementId = 0;
    for (size_t i = 0; i < topics().size(); ++i) {
        const int topicId = int(i) + 1;
        topic.execute({topicId, QString::fromUtf8(topics()[i].name), topicId});
        for (const char *r : topics()[i].refinements) {
            ++refinementId;
            refinement.execute({refinementId, topicId, QString::fromUtf8(r), refinementId});
        }
    }

    PreparedStatement when(conn, tra, QStringLiteral("INSERT INTO P_WHEN (ID, NAME, ORD) VALUES (?, ?, ?)"));
    for (size_t i = 0; i < timeOptions().size(); ++i)
        when.execute({int(i) + 1, QString::fromUtf8(timeOptions()[i]), int(i) + 1});

    PreparedStatement user(conn, tra,
                           QStringLiteral("INSERT INTO USERS (USER_ID, USER_NAME, LOGIN, PASS, PRIV, USER_EMAIL, REM, "
                                          "REM_LOGIN, REM_PASS, ORD) VALUES (?, ?, ?, ?, ?, ?, 0, NULL, NULL, ?)"));
    for (const StaffMember &m : staff())
        user.execute({m.id, QString::fromUtf8(m.name), QString::fromUtf8(m.login), QString::fromUtf8(m.pass), m.priv,
                      textOrNull(QString::fromUtf8(m.email)), m.id});
}

void insertTasks(FbConnection &conn, FbConnection::Transaction &tra, Dice &dice, const QDateTime &now,
                 const std::vector<RequestRow> &requests)
{
    static const std::array<const char *, 14> names = {
        "Заменить картриджи в бухгалтерии",        "Проверить резервное копирование 1С",
        "Обновить антивирусные базы на сервере",   "Продлить лицензию антивируса",
        "Инвентаризация оргтехники",               "Подготовить рабочее место новому сотруднику",
        "Настроить VPN для удаленных сотрудников", "Заказать бумагу и тонер",
        "Проверить ИБП в серверной",               "Планерка отдела",
        "Перенести почтовые ящики на новый сервер", "Обновить прошивку маршрутизатора",
        "Разобрать заявки за неделю",              "Составить отчет за месяц"};
    static const std::array<const char *, 4> details = {
        "Согласовать время с руководителем отдела.", "Список оборудования в общей папке ИТ.",
        "Не забыть предупредить пользователей заранее.", "Результат записать в журнал."};

    PreparedStatement ins(conn, tra,
                          QStringLiteral("INSERT INTO TASKS (ID, USER_ID, TASK_NAME, ALLINFO, \"IMP\", \"TYPE\", TDATE, "
                                         "TTIME, TDATE2, TTIME2, TAL, REF, REF_ID, REF_NAME) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const std::array<int, 6> owners = {0, 1, 2, 3, 4, 5}; // the observer keeps no tasks
    const int count = 24;
    for (int id = 1; id <= count; ++id) {
        const int owner = id <= 6 ? owners[size_t(id - 1)] : dice.pick(owners);
        const QDate start = now.date().addDays(dice.between(-20, 20));
        const QTime startTime = QTime(9, 0).addSecs(60 * 15 * dice.between(0, 34));
        const QDate end = start.addDays(dice.between(0, 3));
        QTime endTime = startTime.addSecs(3600 * dice.between(1, 3));
        if (endTime < startTime)
            endTime = QTime(23, 45);
        // Every fourth task is linked to a request; the first ones always carry a reminder.
        const bool linked = id % 4 == 0 && !requests.empty();
        const bool reminder = id <= 3 || dice.chance(35);
        QString name;
        QVariant refId;
        QVariant refName;
        if (linked) {
            const RequestRow &r = requests[size_t(dice.below(int(requests.size())))];
            name = QStringLiteral("Проконтролировать заявку № %1").arg(r.id);
            refId = r.id;
            refName = r.trouble;
        } else {
            name = QString::fromUtf8(dice.pick(names));
        }
        ins.execute({id, owner, name, QString::fromUtf8(dice.pick(details)), dice.below(3), dice.below(2), start,
                     startTime, end, endTime, reminder ? QStringLiteral("True") : QStringLiteral("False"),
                     linked ? QStringLiteral("True") : QStringLiteral("False"), refId, refName});
    }
}

} // namespace

QString intimeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QString ctimeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy, hh:mm:ss"));
}

int fileRequest(FbConnection &conn, const NewRequest &r)
{
    FbConnection::Transaction tra(conn, false);
    if (r.executor != 0) {
        const QVariant known =
            selectValue(conn, tra, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE USER_ID = ?"), {r.executor});
        if (known.toInt() == 0)
            throw DbError(QStringLiteral("No staff member has USER_ID %1").arg(r.executor));
    }
    const int id = selectValue(conn, tra, QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM SERVER_ALL")).toInt() + 1;

    RequestRow row;
    row.id = id;
    row.idClient = r.idClient;
    row.data = wholeSeconds(r.received.isValid() ? r.received : QDateTime::currentDateTime());
    row.clientGroup = r.clientGroup;
    row.trouble = r.trouble;
    row.troubleMore = r.troubleMore;
    row.troubleWhen = r.troubleWhen;
    row.troubleMax = r.troubleMax;
    row.contact = r.contact;
    row.imp = r.importance;
    row.impMore = r.impMore;
    row.thisComp = r.thisComp;
    row.os = r.os;
    row.proc = r.proc;
    row.memory = r.memory;
    row.ip = r.ipAddress;
    row.email = r.email;
    row.attachment = r.attachment;
    row.state = 0;
    row.admin = r.executor;
    PreparedStatement(conn, tra, kInsertRequest).execute(row.params());

    // A missing inbox table of the executor fails the whole filing: a request nobody is told about
    // would wait unseen.
    InboxWriter inbox(conn, tra);
    inbox.add(r.executor, id);
    tra.commit();
    return id;
}

void fillDemoDatabase(FbConnection &conn, quint32 seed, const QDateTime &nowWithMsecs)
{
    const QDateTime now = wholeSeconds(nowWithMsecs);
    Dice dice(seed);

    // The inbox tables first, in a transaction of their own: rows can go into them only once they are committed.
    for (const StaffMember &m : staff())
        conn.execute(createInboxTableSql(m.id));

    FbConnection::Transaction tra(conn, false);
    insertDirectories(conn, tra);

    std::vector<int> executors;
    std::vector<int> dispatchers;
    for (const StaffMember &m : staff()) {
        if (m.priv == 1)
            executors.push_back(m.id);
        else if (m.priv == 0)
            dispatchers.push_back(m.id);
    }

    RequestMaker maker(dice, demoDirectories(), makePeople(dice, 60));
    const int count = dice.between(320, 380);
    std::vector<QDateTime> moments;
    moments.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        moments.push_back(workingMoment(dice, now, 120));
    std::sort(moments.begin(), moments.end());

    std::vector<RequestRow> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(maker.make(i + 1, moments[size_t(i)], now, executors, dispatchers, false));

    // Every status and every importance appears at least once, so each filter has something to show.
    for (int s = 0; s <= 4; ++s) {
        if (std::none_of(rows.begin(), rows.end(), [s](const RequestRow &r) { return r.state == s; })) {
            RequestRow &r = rows[size_t(count - 1 - s)];
            r.state = s;
            if (s == 0) {
                r.admin = 0;
                r.textState.clear();
                r.ctime = QDateTime();
                r.currentInfo.clear();
                r.adminText.clear();
            } else {
                r.textState = QString::fromUtf8(kStateTexts[size_t(s)]);
                r.ctime = r.data;
                if (r.currentInfo.isEmpty())
                    r.currentInfo = QString::fromUtf8(kSolvedComments[0]);
                if (r.admin == 0)
                    r.admin = executors.front();
            }
        }
    }
    for (int imp = 1; imp <= 3; ++imp) {
        if (std::none_of(rows.begin(), rows.end(), [imp](const RequestRow &r) { return r.imp == imp; }))
            rows[size_t(imp)].imp = imp;
    }

    PreparedStatement ins(conn, tra, kInsertRequest);
    InboxWriter inbox(conn, tra);
    for (const RequestRow &r : rows) {
        ins.execute(r.params());
        if (r.state == 0)
            inbox.add(r.admin, r.id);
    }

    insertTasks(conn, tra, dice, now, rows);

    conn.execute(tra, QStringLiteral("INSERT INTO UPD (STR) VALUES ('NORMAL')"));
    conn.execute(tra, QStringLiteral("INSERT INTO INFO (VERSION_ADMIN) VALUES ('1.0.0')"));
    conn.execute(tra, QStringLiteral("INSERT INTO DSQL (DENYSQL, DSELECT, DCREATE, DALTER, DINSERT, DUPDATE, DDROP, "
                                     "DSHOW) VALUES (0, 0, 0, 0, 0, 0, 0, 0)"));
    conn.execute(tra, QStringLiteral("INSERT INTO TEX (STR) VALUES (?)"),
                 {QStringLiteral("Уважаемые коллеги! В пятницу с 18:00 плановые работы в сети, возможны перерывы в "
                                 "работе почты и 1С.")});
    tra.commit();
}

void generateRequests(FbConnection &conn, int count, quint32 seed)
{
    if (count <= 0)
        return;
    Dice dice(seed);

    // Use the database's own directories where it has them, so the requests match its lists.
    Directories dirs = demoDirectories();
    const std::vector<QVariantList> topicRows = conn.select(QStringLiteral("SELECT ID, NAME FROM P_MAIN ORDER BY ORD"));
    if (!topicRows.empty()) {
        const std::vector<QVariantList> refRows =
            conn.select(QStringLiteral("SELECT ID_MAIN, NAME FROM P_2 ORDER BY ORD"));
        dirs.topics.clear();
        for (const QVariantList &t : topicRows) {
            Directories::TopicRef ref;
            ref.name = t.at(1).toString();
            for (const QVariantList &r : refRows) {
                if (r.at(0).toInt() == t.at(0).toInt())
                    ref.refinements << r.at(1).toString();
            }
            for (size_t i = 0; i < topics().size(); ++i) {
                if (ref.name == QString::fromUtf8(topics()[i].name))
                    ref.demoTopic = int(i);
            }
            dirs.topics.push_back(ref);
        }
    }
    const std::vector<QVariantList> whenRows = conn.select(QStringLiteral("SELECT NAME FROM P_WHEN ORDER BY ORD"));
    if (!whenRows.empty()) {
        dirs.times.clear();
        for (const QVariantList &w : whenRows)
            dirs.times << w.at(0).toString();
    }
    const std::vector<QVariantList> groupRows = conn.select(QStringLiteral("SELECT GROUP_ID FROM GROUPS ORDER BY ORD"));
    dirs.groupIds.clear();
    for (const QVariantList &g : groupRows)
        dirs.groupIds.push_back(g.at(0).toInt());
    if (dirs.groupIds.empty())
        dirs.groupIds.push_back(0);

    // Only staff members with an inbox table can be given a queued request.
    QSet<QString> tables;
    for (const QVariantList &t :
         conn.select(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0")))
        tables.insert(t.at(0).toString());
    std::vector<int> executors;
    std::vector<int> dispatchers;
    for (const QVariantList &u : conn.select(QStringLiteral("SELECT USER_ID, PRIV FROM USERS ORDER BY USER_ID"))) {
        const int id = u.at(0).toInt();
        if (!tables.contains(QString::number(id)))
            continue;
        if (u.at(1).toInt() == 1)
            executors.push_back(id);
        else if (u.at(1).toInt() == 0)
            dispatchers.push_back(id);
    }
    if (executors.empty())
        executors = dispatchers;

    RequestMaker maker(dice, dirs, makePeople(dice, 400));
    const QDateTime now = wholeSeconds(QDateTime::currentDateTime());
    const QDateTime start = now.addSecs(-qint64(count) * 900);

    // Committed in slices: the engine's cost per inserted row grows with the size of the
    // transaction, and slices of a few thousand rows keep it flat.
    constexpr int kSlice = 2000;
    const int firstId = conn.select(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM SERVER_ALL")).front().front().toInt() + 1;
    for (int done = 0; done < count;) {
        FbConnection::Transaction tra(conn, false);
        PreparedStatement ins(conn, tra, kInsertRequest);
        InboxWriter inbox(conn, tra);
        const int end = std::min(count, done + kSlice);
        for (; done < end; ++done) {
            // One request in each quarter of an hour, at a random moment within it.
            const QDateTime when = start.addSecs(qint64(done) * 900 + dice.between(0, 899));
            const RequestRow r = maker.make(firstId + done, when, now, executors, dispatchers, true);
            ins.execute(r.params());
            if (r.state == 0)
                inbox.add(r.admin, r.id);
        }
        tra.commit();
    }
}

void setDatabaseWriteMode(const QString &databaseString, bool forcedWrites, int pageBuffers)
{
    using namespace Firebird;
    ThrowStatusWrapper st(fb::master()->getStatus());
    try {
        IXpbBuilder *dpb = fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&st, isc_dpb_password, "plumbline");
        dpb->insertInt(&st, isc_dpb_force_write, forcedWrites ? 1 : 0);
        if (pageBuffers > 0)
            dpb->insertInt(&st, isc_dpb_set_page_buffers, pageBuffers);
        const QByteArray bytes(reinterpret_cast<const char *>(dpb->getBuffer(&st)), int(dpb->getBufferLength(&st)));
        dpb->dispose();
        IProvider *prov = fb::master()->getDispatcher();
        IAttachment *att = nullptr;
        try {
            att = prov->attachDatabase(&st, databaseString.toUtf8().constData(), unsigned(bytes.size()),
                                       reinterpret_cast<const unsigned char *>(bytes.constData()));
        } catch (...) {
            prov->release();
            throw;
        }
        prov->release();
        att->detach(&st);
        att->release();
    } catch (const FbException &e) {
        st.dispose();
        fb::rethrow(e);
    }
    st.dispose();
}

} // namespace bw
