#include "json/engine_script.h"

#include <string_view>

namespace json {
namespace {

// Pushes every string, number and boolean under a value onto str_all.
constexpr std::string_view kNodeValues =
    R"js(function get__nodeValue(str_json,recursion){for(var i in str_json){var a=Object.prototype.toString.call(str_json[i]);if(a=="[object Object]"||a=="[object Array]"){if(recursion){get__nodeValue(str_json[i],recursion)}}else if(a=="[object String]"||a=="[object Number]"||a=="[object Boolean]"){str_all.push(str_json[i])}}return str_all})js";

// The length of an array, else 0.
constexpr std::string_view kCount =
    R"js(function get__count(c){var obj=Object.prototype.toString.call(c);if(obj=='[object Array]'){return c.length}else{return 0}})js";

// The data member names of a plain object, CR LF between them.
constexpr std::string_view kNameList =
    R"js(function get__name_All(a){var obj=Object.prototype.toString.call(a);if(obj=='[object Object]'){var ary=new Array();for(var key in a){if(typeof a[key]!=='function'){ary.push(key)}}return ary.join('\r\n')}else{return''}})js";

// Merges source into target in place (arrays: appends).
constexpr std::string_view kExtend =
    R"js(function get__extend(target,source){if(Object.prototype.toString.call(target)=='[object Array]'){for(var i=0;i<source.length;i++){target.push(source[i])}return target}else{var str_obj;for(var obj in source){str_obj=typeof target[obj];if(str_obj=='string'||str_obj=='boolean'||str_obj=='undefined'){target[obj]=source[obj]}else if(str_obj=='number'){target=target.concat(source)}else if(str_obj=='object'){target[obj]=get__extend(target[obj],source[obj])}}return target}})js";

// JSON.stringify and JSON.parse for engines that lack them (the Script
// Control's JScript has none), toJSON on the value prototypes, and the
// enumerable Object.prototype.toJSONString and parseJSON that the support
// functions above step over.
constexpr std::string_view kJsonFunctions = R"js(if(typeof JSON!=='object'){JSON={}}
(function(){
var toText=Object.prototype.toString,
own=Object.prototype.hasOwnProperty,
hexDigits='0123456789abcdef',
shortEscapes={'"':'\\"','\\':'\\\\','\b':'\\b','\f':'\\f','\n':'\\n','\r':'\\r','\t':'\\t'};
function isArray(v){return toText.call(v)==='[object Array]'}
function twoDigits(n){return n<10?'0'+n:String(n)}
function escapeCharacter(c){
var known=shortEscapes[c];
if(typeof known==='string'){return known}
var code=c.charCodeAt(0);
return '\\u'+hexDigits.charAt(code>>12&15)+hexDigits.charAt(code>>8&15)+hexDigits.charAt(code>>4&15)+hexDigits.charAt(code&15);
}
// Line separators are escaped too: the document reads JSON back as script.
function quote(s){return '"'+s.replace(/["\\\x00-\x1f\u2028\u2029]/g,escapeCharacter)+'"'}
function layout(open,parts,close,indent,inner,step){
if(parts.length===0){return open+close}
if(step===''){return open+parts.join(',')+close}
return open+'\n'+inner+parts.join(',\n'+inner)+'\n'+indent+close;
}
function write(holder,key,replacer,indent,step){
var value=holder[key];
if(value!==null&&typeof value==='object'&&typeof value.toJSON==='function'){value=value.toJSON(key)}
if(typeof replacer==='function'){value=replacer.call(holder,key,value)}
switch(typeof value){
case 'string':return quote(value);
case 'number':return isFinite(value)?String(value):'null';
case 'boolean':return String(value);
case 'object':break;
default:return undefined;
}
if(value===null){return 'null'}
var inner=indent+step,parts=[],i,name,text;
if(isArray(value)){
for(i=0;i<value.length;i++){
text=write(value,String(i),replacer,inner,step);
parts.push(text===undefined?'null':text);
}
return layout('[',parts,']',indent,inner,step);
}
var separator=step===''?':':': ';
if(isArray(replacer)){
for(i=0;i<replacer.length;i++){
name=replacer[i];
if(typeof name!=='string'&&typeof name!=='number'){continue}
name=String(name);
if(!own.call(value,name)){continue}
text=write(value,name,replacer,inner,step);
if(text!==undefined){parts.push(quote(name)+separator+text)}
}
}else{
for(name in value){
if(!own.call(value,name)){continue}
text=write(value,name,replacer,inner,step);
if(text!==undefined){parts.push(quote(name)+separator+text)}
}
}
return layout('{',parts,'}',indent,inner,step);
}
function revive(holder,key,reviver){
var value=holder[key],name,result;
if(value!==null&&typeof value==='object'){
for(name in value){
if(!own.call(value,name)){continue}
result=revive(value,name,reviver);
if(result===undefined){delete value[name]}else{value[name]=result}
}
}
return reviver.call(holder,key,value);
}
// A strict reader: nothing in the text is run as script.
function read(source){
var s=String(source),at=0;
function fail(){throw new SyntaxError('JSON.parse: unexpected text at '+at)}
function blanks(){while(at<s.length&&' \t\r\n'.indexOf(s.charAt(at))>=0){at++}}
function word(w,v){if(s.substring(at,at+w.length)!==w){fail()}at+=w.length;return v}
function number(){
var m=/^-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?/.exec(s.substring(at));
if(!m){fail()}
at+=m[0].length;
// parseFloat: Wine's JScript converts '0.5e1' to NaN through Number().
return parseFloat(m[0]);
}
function string(){
var out='',c,hex,k;
at++;
for(;;){
if(at>=s.length){fail()}
c=s.charAt(at++);
if(c==='"'){return out}
if(c<' '){fail()}
if(c!=='\\'){out+=c;continue}
c=s.charAt(at++);
if(c==='u'){
hex=s.substring(at,at+4);
if(!/^[0-9a-fA-F]{4}$/.test(hex)){fail()}
out+=String.fromCharCode(parseInt(hex,16));
at+=4;
continue;
}
k=c===''?-1:'"\\/bfnrt'.indexOf(c);
if(k<0){fail()}
out+='"\\/\b\f\n\r\t'.charAt(k);
}
}
function value(){
var c,result,name;
blanks();
c=s.charAt(at);
if(c==='{'){
at++;result={};blanks();
if(s.charAt(at)==='}'){at++;return result}
for(;;){
blanks();
if(s.charAt(at)!=='"'){fail()}
name=string();blanks();
if(s.charAt(at++)!==':'){fail()}
result[name]=value();blanks();
c=s.charAt(at++);
if(c==='}'){return result}
if(c!==','){fail()}
}
}
if(c==='['){
at++;result=[];blanks();
if(s.charAt(at)===']'){at++;return result}
for(;;){
result.push(value());blanks();
c=s.charAt(at++);
if(c===']'){return result}
if(c!==','){fail()}
}
}
if(c==='"'){return string()}
if(c==='t'){return word('true',true)}
if(c==='f'){return word('false',false)}
if(c==='n'){return word('null',null)}
return number();
}
var result=value();
blanks();
if(at<s.length){fail()}
return result;
}
if(typeof JSON.stringify!=='function'){
JSON.stringify=function(value,replacer,space){
var step='',i;
if(typeof space==='number'){for(i=0;i<space&&i<10;i++){step+=' '}}
else if(typeof space==='string'){step=space.substring(0,10)}
if(replacer&&typeof replacer!=='function'&&!isArray(replacer)){throw new Error('JSON.stringify: bad replacer')}
return write({'':value},'',replacer,'',step);
};
}
if(typeof JSON.parse!=='function'){
JSON.parse=function(text,reviver){
var result=read(text);
return typeof reviver==='function'?revive({'':result},'',reviver):result;
};
}
if(typeof Date.prototype.toJSON!=='function'){
Date.prototype.toJSON=function(){
if(!isFinite(this.valueOf())){return null}
var ms=this.getUTCMilliseconds();
return this.getUTCFullYear()+'-'+twoDigits(this.getUTCMonth()+1)+'-'+twoDigits(this.getUTCDate())+'T'+twoDigits(this.getUTCHours())+':'+twoDigits(this.getUTCMinutes())+':'+twoDigits(this.getUTCSeconds())+'.'+(ms<10?'00':ms<100?'0':'')+ms+'Z';
};
String.prototype.toJSON=Number.prototype.toJSON=Boolean.prototype.toJSON=function(){return this.valueOf()};
}
if(typeof Object.prototype.toJSONString!=='function'){
Object.prototype.toJSONString=function(filter){return JSON.stringify(this,filter)};
Object.prototype.parseJSON=function(filter){return JSON.parse(this,filter)};
}
})();
)js";

}  // namespace

const std::wstring& EngineScript() {
  static const std::wstring script = [] {
    std::wstring all;
    for (const std::string_view part : {kNodeValues, kCount, kNameList, kExtend, kJsonFunctions}) {
      all.append(part.begin(), part.end());
    }
    return all;
  }();
  return script;
}

}  // namespace json
