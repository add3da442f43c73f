#include "ogl_rendererMgr/shaders.h"

namespace domeview {

// GLSL 1.30 for both stages; one string literal per source line.
const char kVertexShaderSource[] =
    "#version 130\n"
    "uniform mat4 uMVPMatrix;\n"
    "uniform mat4 uSTMatrix;\n"
    "attribute vec4 aTextureCoord;\n"
    "attribute vec4 aPosition;\n"
    "attribute float aTexIndex;\n"
    "attribute float aLeftWeights;\n"
    "varying vec4 fragTextureCoord;\n"
    "varying float index;\n"
    "varying float frag_left_weights;\n"
    "void main(){\n"
    "\tgl_Position = uMVPMatrix * aPosition;\n"
    "\tindex = aTexIndex;\n"
    "\tfrag_left_weights = aLeftWeights;\n"
    "\tfragTextureCoord.xy = (uSTMatrix * vec4(aTextureCoord.xy,1,1)).xy;\n"
    "\tfragTextureCoord.zw = (uSTMatrix * vec4(aTextureCoord.zw,1,1)).xy;\n"
    "}\n";

const char kFragmentShaderSource[] =
    "#version 130\n"
    "uniform sampler2D sTextureY;\n"
    "uniform sampler2D sTextureU;\n"
    "uniform sampler2D sTextureV;\n"
    "uniform sampler2D logoTexture;\n"
    "uniform mat3 uColorConversion;\n"
    "varying vec4 fragTextureCoord;\n"
    "varying float index;\n"
    "varying float frag_left_weights;\n"
    "void main(){\n"
    "\tvec3 sampledYUV;\n"
    "\tvec3 rgb;\tif(index >= 3.1){\n"
    "\t\tgl_FragColor = texture2D(logoTexture, fragTextureCoord.xy);\n"
    "\t}\n"
    "\telse if( (index >= 2.9) && (index < 3.1) ){\n"
    "\t\tvec3 sampledYUV2;\n"
    "\t\tsampledYUV.x = texture2D(sTextureY, fragTextureCoord.xy).r - 16.0/255.0;\n"
    "\t\tsampledYUV.y = texture2D(sTextureU, fragTextureCoord.xy).g - 0.5;\n"
    "\t\tsampledYUV.z = texture2D(sTextureV, fragTextureCoord.xy).b - 0.5;\n"
    "\t\tsampledYUV2.x = texture2D(sTextureY, fragTextureCoord.zw).r - 16.0/255.0;\n"
    "\t\tsampledYUV2.y = texture2D(sTextureU, fragTextureCoord.zw).g - 0.5;\n"
    "\t\tsampledYUV2.z = texture2D(sTextureV, fragTextureCoord.zw).b - 0.5;\n"
    "\t\trgb = frag_left_weights * uColorConversion * sampledYUV + \n"
    " \t\t\t\t(1.0 - frag_left_weights) * uColorConversion * sampledYUV2;\n"
    "\t\tgl_FragColor = vec4(rgb, 1);\n"
    "\t}\n"
    "\telse if((index > 1.9) && (index < 2.1)){\n"
    "\t\tif( (fragTextureCoord.z <= 1.0) && (fragTextureCoord.z >= 0.0)\n"
    "\t\t\t&& (fragTextureCoord.w <= 1.0) && (fragTextureCoord.w >= 0.0)){\n"
    "\t\t\tsampledYUV.x = texture2D(sTextureY, fragTextureCoord.zw).r - 16.0/255.0;\n"
    "\t\t\tsampledYUV.y = texture2D(sTextureU, fragTextureCoord.zw).g - 0.5;\n"
    "\t\t\tsampledYUV.z = texture2D(sTextureV, fragTextureCoord.zw).b - 0.5;\n"
    "\t\t\trgb = uColorConversion * sampledYUV;\n"
    "\t\t\tgl_FragColor = vec4(rgb, 1);\n"
    "\t\t}\n"
    "\t}\n"
    "\telse if( (index > 0.9) && (index < 1.1)){\n"
    "\t\tif( (fragTextureCoord.x <= 1.0) && (fragTextureCoord.x >= 0.0)\n"
    "\t\t\t&& (fragTextureCoord.y <= 1.0) && (fragTextureCoord.y >= 0.0)){\n"
    "\t\t\tsampledYUV.x = texture2D(sTextureY, fragTextureCoord.xy).r - 16.0/255.0;\n"
    "\t\t\tsampledYUV.y = texture2D(sTextureU, fragTextureCoord.xy).g - 0.5;\n"
    "\t\t\tsampledYUV.z = texture2D(sTextureV, fragTextureCoord.xy).b - 0.5;\n"
    "\t\t\trgb = uColorConversion * sampledYUV;\n"
    "\t\t\tgl_FragColor = vec4(rgb, 1);\n"
    "\t\t}\n"
    "\t}\n"
    "\telse{\n"
    "\t\tgl_FragColor = vec4(0,0,0,1);\n"
    "\t}\n"
    "}\n";

const float kColorConversion[9] = {
    1.164f, 1.164f, 1.164f,   // Y column
    0.0f,   -0.392f, 2.017f,  // U column
    1.596f, -0.813f, 0.0f,    // V column
};

const float kSTMatrix[16] = {
    1, 0,  0, 0,  //
    0, -1, 0, 0,  //
    0, 0,  1, 0,  //
    0, 1,  0, 1,  //
};

}  // namespace domeview
