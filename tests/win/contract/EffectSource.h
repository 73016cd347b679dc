// The effect the contract program compiles, as a game writes it: four parameters of four
// kinds, a technique of one pass and one of two, whose second pass sets device states from
// the parameters (so what a game set shows once that pass runs). The effect compiler
// stand-in (standin/EffectCompiler.cpp) knows this text.
#pragma once

inline constexpr char kEffectSource[] =
    "float f = 0.5; float4 v; float4 a[2]; texture s;\n"
    "technique one { pass p { ZEnable = FALSE; } }\n"
    "technique two {\n"
    "    pass p0 { ZEnable = FALSE; }\n"
    "    pass p1 { FogStart = <f>; VertexShaderConstantF[0] = <v>;\n"
    "              VertexShaderConstantF[1] = <a>; Texture[0] = <s>; }\n"
    "}\n";
