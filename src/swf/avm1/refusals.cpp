// What scripts may ask of the world outside the movie: the network, the page around it, local
// storage, the keyboard, the speakers and the player itself. A banner reaches none of it:
// loading does nothing and says so once, storage lives as long as the movie, no key is ever
// down, and sounds keep their volume but are never heard.

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"

namespace quillmere::swf::avm1 {

void Machine::notice(const std::string& what)
{
    if (noticed_.insert(what).second)
        notices_.push_back(what);
}

void Machine::installRefusals()
{
    const auto refuse = [this](Object* on, std::string_view name, std::string what) {
        defineMethod(on, name, [what](Machine& m, Value, Arguments&) {
            m.notice(what);
            return Value(Undefined{});
        });
    };
    const auto quietly = [this](Object* on, std::string_view name) {
        defineMethod(on, name, [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    };
    // A class whose loading methods each refuse, under the class's name.
    const auto refusingClass = [&](std::string_view name, std::initializer_list<std::string_view> methods) {
        Object* prototype = makeObject(objectPrototype_);
        defineClass(global_, name, prototype, [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
        for (const std::string_view method : methods)
            refuse(prototype, method, std::string(name) + "." + std::string(method));
        return prototype;
    };

    refuse(global_, "loadMovie", "loadMovie");
    refuse(global_, "loadMovieNum", "loadMovieNum");
    refuse(global_, "loadVariables", "loadVariables");
    refuse(global_, "loadVariablesNum", "loadVariablesNum");
    quietly(global_, "fscommand");
    quietly(global_, "unloadMovie");
    quietly(global_, "unloadMovieNum");
    refusingClass("LoadVars", {"load", "send", "sendAndLoad"});
    refusingClass("XML", {"load", "send", "sendAndLoad"});
    refusingClass("MovieClipLoader", {"loadClip"});
    refusingClass("LocalConnection", {"connect", "send"});
    refusingClass("NetConnection", {"connect"});

    Object* flash = objectIn(member(Value(global_), "flash"));
    if (flash) {
        Object* external = makeObject(objectPrototype_);
        flash->put(key("external"), Value(external), Property::DontEnum);
        Object* externalInterface = makeObject(objectPrototype_);
        external->put(key("ExternalInterface"), Value(externalInterface), Property::DontEnum);
        externalInterface->put(key("available"), false, Property::DontEnum);
        quietly(externalInterface, "call");
        defineMethod(externalInterface, "addCallback", [](Machine&, Value, Arguments&) { return Value(false); });
    }

    // Shared objects keep their data while the movie plays, and nowhere else.
    Object* sharedObject = makeObject(objectPrototype_);
    Function* sharedClass = defineClass(global_, "SharedObject", sharedObject,
                                        [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    defineMethod(sharedClass, "getLocal", [sharedObject](Machine& m, Value self, Arguments& a) {
        const std::string name = "__local " + m.toString(argument(a, 0));
        if (Object* kept = objectIn(m.member(self, name)))
            return Value(kept);
        Object* made = m.makeObject(sharedObject);
        m.setMember(made, "data", Value(m.makeObject(m.objectPrototype())));
        m.setMember(self, name, Value(made));
        return Value(made);
    });
    defineMethod(sharedObject, "flush", [](Machine&, Value, Arguments&) { return Value(true); });
    quietly(sharedObject, "clear");

    // The user's keys are not the movie's to read; the pointer is, where it moves over the movie
    // and is pressed there: Mouse tells its listeners.
    Object* keyboard = makeObject(objectPrototype_);
    global_->put(key("Key"), Value(keyboard), Property::DontEnum);
    defineMethod(keyboard, "isDown", [](Machine&, Value, Arguments&) { return Value(false); });
    defineMethod(keyboard, "isToggled", [](Machine&, Value, Arguments&) { return Value(false); });
    defineMethod(keyboard, "getCode", [](Machine&, Value, Arguments&) { return Value(0.0); });
    defineMethod(keyboard, "getAscii", [](Machine&, Value, Arguments&) { return Value(0.0); });
    for (const auto& [name, code] : {std::pair{"BACKSPACE", 8},
                                     {"TAB", 9},
                                     {"ENTER", 13},
                                     {"SHIFT", 16},
                                     {"CONTROL", 17},
                                     {"CAPSLOCK", 20},
                                     {"ESCAPE", 27},
                                     {"SPACE", 32},
                                     {"PGUP", 33},
                                     {"PGDN", 34},
                                     {"END", 35},
                                     {"HOME", 36},
                                     {"LEFT", 37},
                                     {"UP", 38},
                                     {"RIGHT", 39},
                                     {"DOWN", 40},
                                     {"INSERT", 45},
                                     {"DELETEKEY", 46}})
        keyboard->put(key(name), Value(double(code)), Property::DontEnum | Property::DontDelete | Property::ReadOnly);
    Object* mouse = makeObject(objectPrototype_);
    global_->put(key("Mouse"), Value(mouse), Property::DontEnum);
    quietly(keyboard, "addListener");
    quietly(keyboard, "removeListener");
    makeBroadcaster(mouse);
    quietly(mouse, "hide");
    quietly(mouse, "show");

    // Movies test the player's version before they use what came in it: this player draws what
    // version 8 movies may.
    const std::string version = "LNX 8,0,0,0";
    defineMethod(global_, "getVersion", [version](Machine&, Value, Arguments&) { return Value(version); });
    global_->put(key("$version"), Value(version), Property::DontEnum);
    Object* system = makeObject(objectPrototype_);
    global_->put(key("System"), Value(system), Property::DontEnum);
    Object* capabilities = makeObject(objectPrototype_);
    system->put(key("capabilities"), Value(capabilities), Property::DontEnum);
    capabilities->put(key("version"), Value(version));
    capabilities->put(key("os"), Value(std::string("Linux")));
    capabilities->put(key("playerType"), Value(std::string("StandAlone")));
    capabilities->put(key("hasAudio"), false);
    capabilities->put(key("language"), Value(std::string("en")));
    Object* security = makeObject(objectPrototype_);
    system->put(key("security"), Value(security), Property::DontEnum);
    for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
        quietly(security, name);

    // A sound keeps the volume, pan and transform a script gives it, which fades wait on; the
    // player times the movie's own.
    Object* sound = refusingClass("Sound", {"loadSound"});
    const auto kept = [this, sound](std::string_view setter, std::string_view getter, Value initial) {
        const std::string field = key("__" + std::string(getter));
        defineMethod(sound, setter, [field](Machine&, Value self, Arguments& a) {
            if (Object* object = objectIn(self))
                object->put(field, argument(a, 0), Property::DontEnum);
            return Value(Undefined{});
        });
        defineMethod(sound, getter, [field, initial](Machine&, Value self, Arguments&) {
            Object* object = objectIn(self);
            const Property* own = object ? object->own(field) : nullptr;
            return own ? own->value : initial;
        });
    };
    kept("setVolume", "getVolume", 100.0);
    kept("setPan", "getPan", 0.0);
    kept("setTransform", "getTransform", Undefined{});
}

} // namespace quillmere::swf::avm1
