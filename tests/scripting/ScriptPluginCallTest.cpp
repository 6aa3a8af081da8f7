// Calls from scripts into a plug-in's script names: the values each way, the
// result codes as the script's messages, and the plug-in's answer memory.

#include "GpiTestSupport.h"
#include "scripting/ScriptPlugins.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kGuid[] = "{5c1e0a2b-3d4f-4a6b-8c7d-9e0f1a2b3c4d}";

void* HostAlloc(std::uint32_t size) {
    void* memory = nullptr;
    GpiHostAllocArgs args = {size, &memory};
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostAlloc, &args), GPIERR_NoError);
    return memory;
}

const char* HostText(const std::string& text) {
    char* copy = static_cast<char*>(HostAlloc(static_cast<std::uint32_t>(text.size() + 1)));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

class ScriptPluginCall : public GpiHostTest {
protected:
    // What the plug-in saw of the last call, and what it answers next.
    struct Seen {
        bool called = false;
        bool hasName = false;
        std::string name;
        std::uint32_t inOut = 99;
        std::vector<GpiScriptValue> arguments;
        std::vector<std::string> texts;
    } m_Seen;
    int m_Code = GPIERR_NoError;
    bool m_Throw = false;
    bool m_Single = false;
    std::vector<GpiScriptValue> m_Answer;

    void SetUp() override {
        GpiHostTest::SetUp();
        m_Plugin = AddPlugin(
            [this](std::uint32_t, std::uint32_t, void* raw) -> int {
                auto* call = static_cast<GpiHookScriptCallArgs*>(raw);
                m_Seen = Seen();
                m_Seen.called = true;
                m_Seen.hasName = call->name != nullptr;
                m_Seen.name = call->name != nullptr ? call->name : "";
                m_Seen.inOut = call->inOut;
                for (std::uint32_t i = 0; i < call->argumentCount; ++i) {
                    m_Seen.arguments.push_back(call->arguments[i]);
                    m_Seen.texts.push_back(call->arguments[i].type == GPISV_String ? call->arguments[i].value.text
                                                                                   : "");
                }
                if (m_Throw)
                    throw std::runtime_error("plug-in fault");
                if (!m_Answer.empty()) {
                    auto* list = static_cast<GpiScriptValue*>(
                        HostAlloc(static_cast<std::uint32_t>(m_Answer.size() * sizeof(GpiScriptValue))));
                    for (std::size_t i = 0; i < m_Answer.size(); ++i)
                        list[i] = m_Answer[i];
                    call->results = list;
                    call->resultCount = static_cast<std::uint32_t>(m_Answer.size());
                }
                if (m_Single)
                    call->inOut |= 1u;
                return m_Code;
            },
            kGuid);
        Subscribe(m_Plugin, GPIHOOK_ScriptCall, 7);
    }

    static GpiScriptValue Value(GpiScriptValueType type) {
        GpiScriptValue v = {};
        v.type = type;
        return v;
    }

    ScriptReply Call(const char* name, const std::vector<ScriptPluginValue>& arguments, ScriptPluginAnswer& answer,
                     const std::string& guid = kGuid) {
        return CallScriptPlugin(guid, 3, name, arguments, answer);
    }

    static std::size_t BlocksLeft() { return GpiState().m_HostBlocks.size(); }

    std::uint32_t m_Plugin = 0;
};

TEST_F(ScriptPluginCall, ArgumentsReachThePluginInTheirInterfaceForm) {
    std::vector<ScriptPluginValue> arguments(6);
    arguments[0].kind = ScriptPluginValue::Handle;
    arguments[0].word = 0x40001;
    arguments[1].kind = ScriptPluginValue::Int;
    arguments[1].integer = -12;
    arguments[2].kind = ScriptPluginValue::String;
    arguments[2].text = "road";
    arguments[3].kind = ScriptPluginValue::Double;
    arguments[3].number = 2.5;
    arguments[4].kind = ScriptPluginValue::Bool;
    arguments[4].boolean = true;
    arguments[5].kind = ScriptPluginValue::Color;
    arguments[5].word = 0x00ff8040;
    ScriptPluginAnswer answer;
    ASSERT_FALSE(Call("width", arguments, answer).Failed());
    ASSERT_TRUE(m_Seen.called);
    EXPECT_EQ(m_Seen.name, "width");
    EXPECT_EQ(m_Seen.inOut, 0u);
    ASSERT_EQ(m_Seen.arguments.size(), 6u);
    const GpiScriptValueType types[] = {GPISV_Handle, GPISV_Int,  GPISV_String,
                                        GPISV_Double, GPISV_Bool, GPISV_Color};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(m_Seen.arguments[i].type, static_cast<std::uint32_t>(types[i])) << i;
    EXPECT_EQ(m_Seen.arguments[0].value.handle, 0x40001u);
    EXPECT_EQ(m_Seen.arguments[1].value.integer, -12);
    EXPECT_EQ(m_Seen.texts[2], "road");
    EXPECT_EQ(m_Seen.arguments[3].value.number, 2.5);
    EXPECT_EQ(m_Seen.arguments[4].value.boolean, 1u);
    EXPECT_EQ(m_Seen.arguments[5].value.color, 0x00ff8040u);
    EXPECT_FALSE(answer.single);
    EXPECT_TRUE(answer.values.empty()) << "no list: nothing answered";
}

TEST_F(ScriptPluginCall, NoNameAndNoArgumentsGoAsSuch) {
    ScriptPluginAnswer answer;
    ASSERT_FALSE(Call(nullptr, {}, answer).Failed());
    EXPECT_TRUE(m_Seen.called);
    EXPECT_FALSE(m_Seen.hasName);
    EXPECT_TRUE(m_Seen.arguments.empty());
}

TEST_F(ScriptPluginCall, SingleAnswerTakesTheFirstValueAndFreesTheWholeList) {
    GpiScriptValue text = Value(GPISV_String);
    text.value.text = HostText("first");
    GpiScriptValue other = Value(GPISV_String);
    other.value.text = HostText("second");
    m_Answer = {text, other};
    m_Single = true;
    ScriptPluginAnswer answer;
    ASSERT_FALSE(Call("label", {}, answer).Failed());
    EXPECT_TRUE(answer.single);
    ASSERT_EQ(answer.values.size(), 1u);
    EXPECT_EQ(answer.values[0].kind, ScriptPluginValue::String);
    EXPECT_EQ(answer.values[0].text, "first");
    EXPECT_EQ(BlocksLeft(), 0u) << "the list and both texts go back to the host";
}

TEST_F(ScriptPluginCall, ListAnswerKeepsEveryValueInOrder) {
    GpiScriptValue handle = Value(GPISV_Handle);
    handle.value.handle = 0x20005;
    GpiScriptValue number = Value(GPISV_Double);
    number.value.number = -0.25;
    GpiScriptValue flag = Value(GPISV_Bool);
    flag.value.boolean = 1;
    GpiScriptValue colour = Value(GPISV_Color);
    colour.value.color = 0x123456;
    m_Answer = {handle, number, flag, colour};
    ScriptPluginAnswer answer;
    ASSERT_FALSE(Call("list", {}, answer).Failed());
    EXPECT_FALSE(answer.single);
    ASSERT_EQ(answer.values.size(), 4u);
    EXPECT_EQ(answer.values[0].kind, ScriptPluginValue::Handle);
    EXPECT_EQ(answer.values[0].word, 0x20005u);
    EXPECT_EQ(answer.values[1].number, -0.25);
    EXPECT_TRUE(answer.values[2].boolean);
    EXPECT_EQ(answer.values[3].kind, ScriptPluginValue::Color);
    EXPECT_EQ(answer.values[3].word, 0x123456u);
    EXPECT_EQ(BlocksLeft(), 0u);
}

TEST_F(ScriptPluginCall, AnUnknownValueTypeIsReportedAndTheAnswerStillFreed) {
    GpiScriptValue text = Value(GPISV_String);
    text.value.text = HostText("kept?");
    GpiScriptValue odd = Value(GPISV_Int);
    odd.type = 9;
    m_Answer = {text, odd};
    ScriptPluginAnswer answer;
    const ScriptReply reply = Call("odd", {}, answer);
    EXPECT_EQ(reply.kind, ScriptReply::Error);
    EXPECT_EQ(reply.text, "Unsupported array element in call to invokePlugin().");
    EXPECT_TRUE(answer.values.empty());
    EXPECT_EQ(BlocksLeft(), 0u);
}

TEST_F(ScriptPluginCall, ResultCodesBecomeTheScriptsMessages) {
    struct Case {
        const char* what;
        int pluginCode;
        bool throws;
        std::string guid;
        const char* message;
    };
    const Case cases[] = {
        {"exception", GPIERR_NoError, true, kGuid, "Error invoking plug-in. Plug-in execution failure."},
        {"unknown GUID", GPIERR_NoError, false, "{00000000-0000-0000-0000-000000000000}",
         "Error invoking plug-in. Plug-in not found."},
        {"unknown name", GPIERR_NotImplemented, false, kGuid,
         "Error invoking plug-in. Method or property not defined."},
        {"bad parameters", GPIERR_IllegalParameter, false, kGuid,
         "Error invoking plug-in. Error interpreting parameters."},
    };
    for (const Case& c : cases) {
        m_Code = c.pluginCode;
        m_Throw = c.throws;
        const bool answers = !c.throws && c.guid == kGuid;
        m_Answer.clear();
        if (answers) {
            GpiScriptValue text = Value(GPISV_String);
            text.value.text = HostText("dropped");
            m_Answer = {text};
        }
        ScriptPluginAnswer answer;
        const ScriptReply reply = Call("x", {}, answer, c.guid);
        EXPECT_EQ(reply.kind, ScriptReply::Error) << c.what;
        EXPECT_EQ(reply.text, c.message) << c.what;
        EXPECT_TRUE(answer.values.empty()) << c.what;
        EXPECT_EQ(BlocksLeft(), 0u) << c.what << ": an answer with an error code is freed too";
    }

    // A plug-in that never subscribed to script calls has no scripting.
    GpiFindHookRecord(m_Plugin)->subscribed[GPIHOOK_ScriptCall] = 0;
    ScriptPluginAnswer answer;
    const ScriptReply reply = Call("x", {}, answer);
    EXPECT_EQ(reply.text, "Error invoking plug-in. Plug-in has no scripting support.");
}

TEST(GpiScriptErrorTextTest, OnlyTheFiveErrorCodesHaveText) {
    EXPECT_EQ(GpiScriptErrorText(0), nullptr);
    EXPECT_EQ(GpiScriptErrorText(6), nullptr);
    EXPECT_EQ(GpiScriptErrorText(-1), nullptr);
    for (int code = 1; code <= 5; ++code)
        EXPECT_NE(GpiScriptErrorText(code), nullptr) << code;
}

}  // namespace
