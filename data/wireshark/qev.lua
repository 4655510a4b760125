-- Wireshark dissector for the Spurnova UDP device protocol (Qev Programmer).
--
-- Load it for one run:   wireshark -X lua_script:qev.lua trace.pcapng
-- or for good: copy it into ~/.local/lib/wireshark/plugins/.
--
-- Datagrams to or from the ports 11080 to 11082 are decoded; other ports through
-- "Decode As..." -> QEV. A request is named by its leading bytes; a reply by the last
-- request of the same client, else (0x21 first) by the command it repeats. A packet comment
-- written by Qev Programmer carries the same name.

local qev = Proto("qev", "Spurnova device protocol (Qev Programmer)")

local f = {
    command = ProtoField.string("qev.command", "Command"),
    kind = ProtoField.string("qev.kind", "Kind"),
    ip = ProtoField.ipv4("qev.ip", "IPv4 address"),
    mask = ProtoField.ipv4("qev.mask", "Netmask"),
    mac = ProtoField.ether("qev.mac", "MAC address"),
    port = ProtoField.uint16("qev.port", "UDP port"),
    gateway = ProtoField.ipv4("qev.gateway", "Gateway"),
    broker = ProtoField.ipv4("qev.broker", "MQTT broker"),
    marker = ProtoField.bytes("qev.marker", "Write marker"),
    code = ProtoField.string("qev.access_code", "Access code"),
    block = ProtoField.uint8("qev.block", "Block number"),
    payload = ProtoField.bytes("qev.payload", "Block payload"),
    class = ProtoField.uint8("qev.class", "Device class"),
    major = ProtoField.uint8("qev.version_major", "Version major"),
    minor = ProtoField.uint8("qev.version_minor", "Version minor"),
    name = ProtoField.string("qev.name", "Name"),
    data = ProtoField.bytes("qev.data", "Data"),
}
qev.fields = f

-- The protocol's commands by their leading bytes; the longest lead wins.
local commands = {
    {"f455aa", "Netzwerkeinstellungen"}, {"f8aa51", "Netzwerkeinstellungen"},
    {"f5", "Suche"}, {"0f", "Identifikation"}, {"600f", "Identifikation"},
    {"0d00", "Seriennummer"}, {"5c0d00", "Seriennummer"}, {"600d00", "Seriennummer"},
    {"f0", "Zugangscode"}, {"f3", "Block schreiben"}, {"f2", "Block lesen"},
    {"f6", "Aktivieren"}, {"04aa55", "Tachometer schreiben"}, {"05", "Tachometer lesen"},
    {"32", "S88 lesen"}, {"34", "S88 schreiben"},
    {"6061", "Helligkeit setzen"}, {"6062", "Helligkeit lesen"}, {"6063", "Name schreiben"},
    {"6064", "Name lesen"}, {"6094", "Modus lesen"}, {"6095", "Modus schreiben"},
    {"6190", "Classic lesen"}, {"6191", "Classic schreiben"},
    {"6292", "RGB lesen"}, {"6293", "RGB schreiben"},
    {"993399", "Manager lesen"}, {"99aa55", "Manager schreiben"},
    {"900d", "Booster-Seriennummern"}, {"900e", "Booster-Name lesen"},
    {"901e", "Booster-Name schreiben"}, {"9091", "Booster-Liste"}, {"9093", "Booster-Info"},
    {"9094", "Booster schreiben"}, {"9095", "Booster-Adresse"},
    {"90993399", "Gateway lesen"}, {"9099ac53", "Gateway schreiben"},
    {"909b00", "Gateway-Helligkeit lesen"}, {"909b01", "Gateway-Helligkeit speichern"},
    {"90f0", "Booster-Freigabe"},
}

local function commandOf(hex)
    local best, bestLength = nil, 0
    for _, c in ipairs(commands) do
        local lead = c[1]
        if #lead > bestLength and hex:sub(1, #lead) == lead then
            best, bestLength = c[2], #lead
        end
    end
    return best
end

-- The last request of each client ("address:port"), and the name each packet got on the
-- first pass, so that replies keep their names when the packets are shown again.
local lastRequest = {}
local nameOf = {}

function qev.init()
    lastRequest = {}
    nameOf = {}
end

local function decodeRequest(name, buf, tree)
    local n = buf:len()
    if name == "Netzwerkeinstellungen" and n >= 19 then
        tree:add(f.marker, buf(1, 2))
        tree:add(f.ip, buf(3, 4))
        tree:add(f.mask, buf(7, 4))
        tree:add(f.mac, buf(11, 6))
        tree:add(f.port, buf(17, 2))
        if n >= 27 then
            tree:add(f.gateway, buf(19, 4))
            tree:add(f.broker, buf(23, 4))
        end
    elseif name == "Zugangscode" and n > 1 then
        tree:add(f.code, buf(1, n - 1))
    elseif (name == "Block schreiben" or name == "Block lesen") and n >= 2 then
        tree:add(f.block, buf(1, 1))
        if name == "Block schreiben" and n > 2 then
            tree:add(f.payload, buf(2, n - 2))
        end
    elseif name == "Name schreiben" and n >= 3 then
        tree:add(f.name, buf(3, math.min(buf(2, 1):uint(), n - 3)))
    end
end

local function decodeReply(name, buf, tree)
    local n = buf:len()
    if name == "Suche" and n >= 18 then
        tree:add(f.ip, buf(2, 4))
        tree:add(f.mask, buf(6, 4))
        tree:add(f.mac, buf(10, 6))
        tree:add(f.port, buf(16, 2))
        if n >= 22 then tree:add(f.gateway, buf(18, 4)) end
        if n >= 26 then tree:add(f.broker, buf(22, 4)) end
    elseif name == "Identifikation" and n > 4 then
        tree:add(f.class, buf(2, 1))
        tree:add(f.major, buf(3, 1))
        tree:add(f.minor, buf(4, 1))
    elseif name == "Block lesen" and n > 4 then
        tree:add(f.payload, buf(3, n - 3))
    elseif name == "Name lesen" and n > 4 then
        tree:add(f.name, buf(4, math.min(buf(3, 1):uint(), n - 4)))
    end
end

function qev.dissector(buf, pinfo, root)
    pinfo.cols.protocol = "QEV"
    local tree = root:add(qev, buf())
    local n = buf:len()
    if n == 0 then
        tree:add(f.kind, "leer")
        return
    end
    local hex = tostring(buf:bytes()):lower()
    local isReply = buf(0, 1):uint() == 0x21
    local name = nameOf[pinfo.number]
    if not name then
        local client = tostring(isReply and pinfo.dst or pinfo.src) .. ":" ..
            tostring(isReply and pinfo.dst_port or pinfo.src_port)
        if isReply then
            -- Acknowledgements do not always repeat the command: the request comes first.
            name = lastRequest[client] or (n > 1 and commandOf(hex:sub(3))) or "Antwort"
        else
            name = commandOf(hex) or "Unbekannt"
            lastRequest[client] = name
        end
        nameOf[pinfo.number] = name
    end
    tree:add(f.command, name)
    tree:add(f.kind, isReply and "Antwort" or "Anfrage")
    if isReply then
        decodeReply(name, buf, tree)
    else
        decodeRequest(name, buf, tree)
    end
    pinfo.cols.info = name .. (isReply and " (Antwort)" or "")
end

local udp = DissectorTable.get("udp.port")
for port = 11080, 11082 do
    udp:add(port, qev)
end
udp:add_for_decode_as(qev)
