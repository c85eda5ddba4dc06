#pragma once

// The eight pages of the switch's SNMP agent.

#include "AgentCommon.h"

#include <array>

class CIpAddressEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CUserTablePage : public CAgentTablePage {
public:
    enum FieldId {
        kIdName = 1183,
        kIdGroup = 1172,
        kIdEncrypted = 1148,
        kIdAuthPassword = 1007,
        kIdPrivPassword = 1008,
        kIdVersion = 3111,
        kIdAuth = 3112,
        kIdPriv = 3113
    };
    explicit CUserTablePage(QWidget* parent = nullptr);
    SUserEntry Entry() const;

protected:
    QStringList RowTexts(const SSnmpRow& row) const override;
    QString CheckEntry() const override;
    QString EntryIndex() const override;
    std::vector<SWriteStep> EntryWrites() const override;
    void ClearEntry() override;

private:
    void UpdateEnabling();
    QLineEdit* m_pName;
    QLineEdit* m_pGroup;
    QComboBox* m_pVersion;
    QCheckBox* m_pEncrypted;
    QComboBox* m_pAuth;
    QLineEdit* m_pAuthPassword;
    QComboBox* m_pPriv;
    QLineEdit* m_pPrivPassword;
};

class CGroupTablePage : public CAgentTablePage {
public:
    enum FieldId {
        kIdName = 3121,
        kIdReadView = 3122,
        kIdWriteView = 3123,
        kIdNotifyView = 3124,
        kIdModel = 3125,
        kIdLevel = 3126
    };
    explicit CGroupTablePage(QWidget* parent = nullptr);

protected:
    QStringList RowTexts(const SSnmpRow& row) const override;
    QString CheckEntry() const override;
    QString EntryIndex() const override;
    std::vector<SWriteStep> EntryWrites() const override;
    void ClearEntry() override;

private:
    QLineEdit* m_pName;
    std::array<QLineEdit*, 3> m_pViews; // read, write, notify
    QComboBox* m_pModel;
    QComboBox* m_pLevel;
};

class CViewTablePage : public CAgentTablePage {
public:
    enum FieldId { kIdName = 3131, kIdSubtree = 3132, kIdMask = 3133, kIdType = 3134 };
    explicit CViewTablePage(QWidget* parent = nullptr);

protected:
    QStringList RowTexts(const SSnmpRow& row) const override;
    QString CheckEntry() const override;
    QString EntryIndex() const override;
    std::vector<SWriteStep> EntryWrites() const override;
    void ClearEntry() override;

private:
    QLineEdit* m_pName;
    QLineEdit* m_pSubtree;
    QLineEdit* m_pMask;
    QComboBox* m_pType;
};

class CCommunityTablePage : public CAgentTablePage {
public:
    enum FieldId { kIdName = 1157, kIdUser = 1158 };
    explicit CCommunityTablePage(QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnAdd() override;
    void OnCancel() override;
    QStringList RowTexts(const SSnmpRow& row) const override;
    QString CheckEntry() const override;
    QString EntryIndex() const override;
    std::vector<SWriteStep> EntryWrites() const override;
    void ClearEntry() override;

private:
    QLineEdit* m_pName;
    QComboBox* m_pUser;
};

class CHostTablePage : public CAgentTablePage {
public:
    enum FieldId { kIdAddress = 1012, kIdCommunity = 1163, kIdVersion = 3151 };
    explicit CHostTablePage(QWidget* parent = nullptr);

protected:
    QStringList RowTexts(const SSnmpRow& row) const override;
    QString CheckEntry() const override;
    QString EntryIndex() const override;
    std::vector<SWriteStep> EntryWrites() const override;
    void ClearEntry() override;

private:
    CIpAddressEdit* m_pAddress;
    QComboBox* m_pVersion;
    QLineEdit* m_pCommunity;
};

// "SNMP Global State ": one check box.
class CGlobalStatePage : public CPageBase {
public:
    enum Id { kIdEnable = 3301, kIdApply = 3302, kIdCancel = 3303 };
    explicit CGlobalStatePage(QWidget* parent = nullptr);
    void Load();
    bool Apply();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    CAgentBackEnd m_backEnd;
    QCheckBox* m_pEnable;
};

// "SNMP Engine ID".
class CEngineIdPage : public CPageBase {
public:
    enum Id { kIdEngineId = 1160, kIdApply = 3401, kIdDefault = 3402, kIdClose = 2 };
    explicit CEngineIdPage(QWidget* parent = nullptr);
    void Load();
    // Checks the text (not for the default), then writes it.
    bool Write(const QString& text, bool check);

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    CAgentBackEnd m_backEnd;
    QLineEdit* m_pEngineId;
};

// "SNMP Trap Configuration": eight switches, five on models without PoE.
class CTrapPage : public CPageBase {
public:
    enum Id { kIdFirstTrap = 3201, kIdApply = 3210, kIdClose = 2 };
    explicit CTrapPage(QWidget* parent = nullptr);
    void Load();
    bool Apply();
    // The switches the model has: 8 with PoE, else 5.
    int TrapCount() const;

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    CAgentBackEnd m_backEnd;
    std::array<QCheckBox*, 8> m_pTraps{};
};

// A PoE model: the device name holds "P" or "p".
bool IsPoeModelName(const QString& deviceName);
