#include "html/ServerObjectsDialog.h"

#include "html/RowList.h"

#include "app/CommandIds.h"
#include "platform/Profile.h"
#include "text/AskWithCheck.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace tarnwell {

namespace {

std::unique_ptr<CServerObjectStore>& StoreSlot() {
    static std::unique_ptr<CServerObjectStore> store;
    return store;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CServerObjectStore::CServerObjectStore(Profile* profile) : profile_(profile) {
    if (profile_) objects_ = LoadServerObjects(*profile_);
}

CServerObjectStore& CServerObjectStore::Get(Profile* profile) {
    auto& slot = StoreSlot();
    if (!slot) slot.reset(new CServerObjectStore(profile));
    return *slot;
}

void CServerObjectStore::Reset() { StoreSlot().reset(); }

void CServerObjectStore::Replace(std::vector<ServerObject> objects) {
    objects_ = std::move(objects);
    if (profile_) SaveServerObjects(*profile_, objects_);
}

void FillServerObjectMenu(QMenu* menu, const std::vector<ServerObject>& objects,
                          const std::function<void(int)>& trigger) {
    const int first = cmd::ServerObjectFirst;
    for (QAction* a : menu->actions()) {
        const int id = a->data().toInt();
        if (id >= first && id < first + kServerObjectMenuLimit) {
            menu->removeAction(a);
            if (a->parent() == menu) a->deleteLater();
        }
    }
    QAction* before = menu->actions().value(0);
    auto add = [&](int id, const QString& text) {
        auto* a = new QAction(text, menu);
        a->setData(id);
        QObject::connect(a, &QAction::triggered, menu, [trigger, id] { trigger(id); });
        menu->insertAction(before, a);
    };
    if (objects.empty()) {
        add(first, QStringLiteral("(Empty)"));
        return;
    }
    const std::size_t n = std::min<std::size_t>(objects.size(), kServerObjectMenuLimit);
    for (std::size_t i = 0; i < n; ++i) add(first + int(i), Q(ServerObjectMenuText(objects[i].title)));
}

// --- One object -------------------------------------------------------------------------------------

CServerObjectDialog::CServerObjectDialog(const ServerObject& object, QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Server Object"));
    auto* form = new QFormLayout(this);
    title_ = new QLineEdit(Q(object.title), this);
    title_->setObjectName(QStringLiteral("title"));
    title_->setMaxLength(255);
    id_ = new QLineEdit(Q(object.id), this);
    id_->setObjectName(QStringLiteral("id"));
    id_->setMaxLength(255);
    form->addRow(QStringLiteral("&Title:"), title_);
    form->addRow(QStringLiteral("ID:"), id_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(340);
}

ServerObject CServerObjectDialog::Object() const {
    return {TrimBlanks(title_->text().toStdString()), TrimBlanks(id_->text().toStdString())};
}

void CServerObjectDialog::accept() {
    const ServerObject o = Object();
    title_->setText(Q(o.title));
    id_->setText(Q(o.id));
    if (o.title.empty()) {
        ShowMessage(QStringLiteral("Please enter a title for this object."), mb::kOk | mb::kIconExclamation);
        title_->setFocus();
        return;
    }
    if (o.id.empty()) {
        ShowMessage(QStringLiteral("Please enter the ProgID or GUID for this object."), mb::kOk | mb::kIconExclamation);
        id_->setFocus();
        return;
    }
    QDialog::accept();
}

// --- The list -----------------------------------------------------------------------------------------

CServerObjectsDialog::CServerObjectsDialog(CServerObjectStore& store, QWidget* owner) : QDialog(owner), store_(store) {
    setWindowTitle(QStringLiteral("Server Objects"));
    auto* row = new QHBoxLayout(this);
    list_ = NewRowList(this, "objects", QStringLiteral("Title,ID").split(QLatin1Char(',')), 150);
    const Profile* settings = store.Settings();
    list_->header()->resizeSection(0, settings ? settings->GetInt("Server Objects", "Title Width", 150) : 150);
    list_->header()->resizeSection(1, settings ? settings->GetInt("Server Objects", "ID Width", 150) : 150);
    for (const ServerObject& o : store.Objects()) new QTreeWidgetItem(list_, {Q(o.title), Q(o.id)});
    row->addWidget(list_, 1);
    auto* column = new QVBoxLayout;
    buttons_ = AddRowButtons(this, column,
                             {{{"add", QStringLiteral("&Add")},
                               {"remove", QStringLiteral("&Remove")},
                               {"change", QStringLiteral("&Change")},
                               {"up", QStringLiteral("&Up")},
                               {"down", QStringLiteral("&Down")}}});
    column->addStretch();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    column->addWidget(box);
    row->addLayout(column);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_[0], &QPushButton::clicked, this, [this] { Edit(true); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] {
        qDeleteAll(list_->selectedItems());
        Enable();
    });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { Edit(false); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { MoveSelectedRow(list_, -1); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] { MoveSelectedRow(list_, 1); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { Enable(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Edit(false); });
    Enable();
    resize(520, 300);
}

void CServerObjectsDialog::Enable() { EnableRowButtons(list_, buttons_[1], buttons_[2], buttons_[3], buttons_[4]); }

void CServerObjectsDialog::Edit(bool add) {
    QTreeWidgetItem* one = SingleSelectedRow(list_);
    if (!add && !one) return;
    const ServerObject old = add ? ServerObject{} : ServerObject{one->text(0).toStdString(), one->text(1).toStdString()};
    CServerObjectDialog dialog(old, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const ServerObject o = dialog.Object();
    QTreeWidgetItem* item = add ? new QTreeWidgetItem(list_) : one;
    item->setText(0, Q(o.title));
    item->setText(1, Q(o.id));
    if (add) SelectOnlyRow(list_, item);
}

void CServerObjectsDialog::accept() {
    std::vector<ServerObject> objects;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        objects.push_back({list_->topLevelItem(i)->text(0).toStdString(), list_->topLevelItem(i)->text(1).toStdString()});
    }
    store_.Replace(std::move(objects));
    QDialog::accept();
}

void CServerObjectsDialog::Customize(Profile* profile, QWidget* owner) {
    CServerObjectsDialog dialog(CServerObjectStore::Get(profile), owner);
    dialog.exec();
}

}  // namespace tarnwell
